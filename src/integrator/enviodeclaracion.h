#pragma once

#include <QDate>
#include <QString>

namespace kv {

class AccesoDatos;
struct ConsultaSql;
struct Contexto;

// The host's sending of a saved declaration of form 0517: the header, the
// box values and the rows of the module's tables named in envio_t are copied,
// in one transaction, into the history tables under the next correlative of
// that taxpayer, period and form. The saved declaration is only read.
class EnvioDeclaracion
{
public:
    struct Resultado
    {
        bool enviada = false;
        QString mensaje;       // why it was not sent
        QString correl;        // "001", "002"...
        QString control;       // eight digits
        QString lineaComandos; // the summary program's 36 characters
    };

    // The last submission of a declaration.
    struct EnvioPrevio
    {
        QString correl;
        QDate fecha;
        bool hay() const { return !correl.isEmpty(); }
    };

    EnvioDeclaracion(Contexto &contexto, AccesoDatos &datos);

    // The saved declarations of the form that this user may send (a user of
    // type "0" sees every taxpayer's): RUC, name, period yyyymm, state, and
    // for one sent before the date and correlative of its last submission.
    ConsultaSql consultaDeclaraciones() const;

    EnvioPrevio ultimoEnvio(const QString &ruc, const QString &periodo) const;

    // A rectifying submission marks the saved declaration as rectifying
    // first (header and boxes 871 and 005, with their check codes), so that
    // the history copy, the submission summary and the form all say so.
    Resultado enviar(const QString &ruc, const QString &periodo, bool rectificatoria = false);

    // The control number of a new submission; tests replace it.
    virtual QString nuevoControl() const;
    virtual ~EnvioDeclaracion() = default;

private:
    Contexto &m_ctx;
    AccesoDatos &m_datos;
};

} // namespace kv
