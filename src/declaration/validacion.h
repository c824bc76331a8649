#pragma once

#include "advertencias.h"
#include "declaracion.h"

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace kv {

// The payment panel's five text properties but `habilitado`.
struct DatosPago
{
    QString formapago; // "E" cash, "C" cheque, "X" nothing chosen
    QString banco; // "XX": no bank chosen
    QString numcheque;
    QString importe; // box 410 as the panel shows it
};

// Everything the declaration window holds that is checked and saved: the
// identification tab, the 15 boxes as they are shown ("1,234", "(500)",
// "3.450"), the payment panel and the rectification option.
struct DatosDeclaracion
{
    DatosIdentificacion identificacion;
    QMap<QString, QString> casillas; // by box number
    DatosPago pago;
    bool rectifica = false; // "Si" is selected

    QString casilla(const QString &numero) const { return casillas.value(numero); }
};

// How the whole declaration is checked: for the user, who reads every
// finding in the consistency report ("0"), or silently when it is saved,
// which only needs a yes or no and stops at the first failed check ("2").
enum class ModoValidacion { Archivo = 0, Silencioso = 2 };

struct ResultadoValidacion
{
    bool valida = true;
    // Every failed check in order. In file mode the findings that stop the
    // identification checks (`detiene`) were shown in a message box; the
    // others are the lines of the messages file, in the same order.
    QList<Hallazgo> hallazgos;
    // File mode: what the taxpayer's earlier declarations make look
    // doubtful. They follow the findings in the consistency report, are
    // never written to the messages file and never make the declaration
    // inconsistent.
    QList<Advertencia> advertencias;
    // File mode: the messages file holds at least one finding, or there are
    // warnings, and the consistency report is to be opened on them.
    bool abrirReporte = false;
    QString archivo; // the messages file

    // The findings written as lines of the messages file, line by line.
    QList<Hallazgo> lineas() const;
};

// The messages file: the system folder followed directly by "Mens.txt".
QString rutaMensajes(const Contexto &contexto);

// Checks the whole declaration: the identification (file mode only), the
// amount to pay (410), the exchange rate (397, against the tax of 396) and
// the payment method. In file mode the findings are written, one a line,
// into the messages file (Windows-1252, CR LF, replaced on every run); the
// two identification findings that stop the checks, the exchange rate's
// own text check, the warning about the amount paid and the closing message
// "La información de la declaración no presenta inconsistencias." are shown
// through the message service, in the order they arise, with `titulo` (the
// window's caption) as title where the message has no title of its own.
// The warnings of the working copy against the taxpayer's earlier
// declarations come with them (file mode only). The silent mode shows
// nothing, touches no file and reads no history.
ResultadoValidacion ValidaTodo(const Declaracion &declaracion, ModoValidacion modo,
    const DatosDeclaracion &datos, const QString &titulo = {});

} // namespace kv
