#pragma once

#include "validacion.h"

#include <QList>
#include <QString>
#include <utility>

namespace kv {

// What came of saving a declaration.
struct ResultadoGrabacion
{
    bool grabada = false;

    // Not saved: the statement that failed and the engine's error. Nothing
    // of the save stays written: the stored declaration and the working
    // copy are exactly as they were before.
    QString paso;
    ErrorBD error;
    // Not saved because somebody else saved this declaration after it was
    // opened here (or last saved from here): the user is asked first.
    bool ajena = false;

    // Saved: the declaration's key, whether it passed the silent
    // validation (estado 0) or not (9), and the host's text for that
    // outcome (error codes 0151 and 0152).
    QString ruc;
    QString periodo; // yyyymm
    bool consistente = false;
    QString mensaje;

    // The message that tells the user which statement failed and that
    // nothing was saved.
    QString textoFallo() const;
};

// Saving the declaration open in the window: the header (CAB) with the
// payment and the rectification, one box row (DET) per box with a value
// and the header values stored as boxes, the flights and the previous
// payments of the working copy in the permanent tables, each row with its
// record check code, then the header marked consistent (0) or not (9) by
// the silent validation. The whole save is one transaction: a failure at
// any statement leaves every table as it was.
class Grabacion
{
public:
    explicit Grabacion(Declaracion &declaracion);

    // Saves what the window holds. The key is the identification's: the
    // chosen taxpayer ("NEW") or the RUC shown, and the period field. The
    // working copy's rows under the context's current taxpayer and period
    // move to that key within the save; once saved, the context's sRuc and
    // sPeriodo are the key.
    // What another user saved meanwhile is not overwritten unless
    // `reemplazarAjena` says so.
    ResultadoGrabacion Grabar(const DatosDeclaracion &datos, bool reemplazarAjena = false);

    // The value a box row stores: the figures and codes as a whole number
    // without separators ("1,234" 1234, "(500)" -500, bank "05" 5); the
    // exchange rate, the rectification flags, the format version, the
    // cheque number, the RUC and the telephone as they are typed.
    static QString valorCasilla(const QString &casilla, const QString &valor);
    // A box with this value is not stored at all.
    static bool casillaVacia(const QString &valor);
    // The box rows of a save in their order of writing, before the rules
    // of valorCasilla and casillaVacia: the 15 boxes, then 015 (cheque
    // only), 871, 005, 870, 872, 012, 002, 007, 028, 721 and 722.
    static QList<std::pair<QString, QString>> casillasAGrabar(const DatosDeclaracion &datos,
        const QString &ruc, const QString &periodo, const QString &sumaParametros);

private:
    Declaracion &m_decl;
};

} // namespace kv
