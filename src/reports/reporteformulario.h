#pragma once

#include "store/accesodatos.h"

#include <QHash>
#include <QString>

namespace kv {

// The declaration a print-out is made of, as the print list's row gives it.
struct DeclaracionImpresion
{
    QString ruc;          // taxpayer number, trimmed
    QString razonSocial;  // trimmed
    QString periodo;      // yyyymm
    bool historico = false; // a sent declaration: the history tables, one copy by `correl`
    QString correl;
    QString numOrden;     // sent declarations: when not blank the header shows
    QString numControl;   // the control and order numbers
    bool conAnexos = false; // "Con Anexos": the previous payments' pages as well
};

// The box values of a declaration by box number, as text; a box with no
// row reads as the empty text.
using CasillasImpresion = QHash<int, QString>;

// The taxpayer's copy of a declaration of form 0517 as a page-description
// report: the passenger summary and every flight, the determination of the
// debt and, on request, the previous payments. Flights go by arrival date
// and code, payments by date, receipt type and operation number, so that
// two print-outs of one declaration are the same file.
class ReporteFormulario
{
public:
    static constexpr const char *kCodigoReporte = "ZEN001";

    explicit ReporteFormulario(AccesoDatos &datos);

    // The declarations the user may print, in the print list's column order:
    // taxpayer number, name, period (yyyymm), period (mmyyyy), form, order
    // number, date sent, control number, correlative, state. Saved ones
    // (CAB) have no order, date sent, control or correlative; sent ones
    // (HCAB) are listed in state 1 only. A user of type "0" sees every
    // taxpayer, any other user those registered under his name.
    static ConsultaSql consultaLista(const AccesoDatos &datos, bool historico);

    // The box array: the declaration's box rows, then the header's bank
    // (15), amount paid by cheque or else in cash (870) and cheque number
    // (12). With no header row those three stay unset.
    CasillasImpresion leerCasillas(const DeclaracionImpresion &declaracion, ErrorBD *error = nullptr) const;

    // ReporteForm: writes the report into the file `ruta` (created or
    // emptied) and returns its page count; 0 when it could not be read or
    // written, error() says why and no file is left behind.
    int ReporteForm(const QString &ruta, const DeclaracionImpresion &declaracion, const CasillasImpresion &casillas);

    // The whole print-out: the box array, a "ZEN001" file registered in
    // SPOOL under the taxpayer, the report written into the reports folder.
    struct Resultado
    {
        QString archivo; // file name in the reports folder
        int paginas = 0;
        QString error;   // empty when the report was written
        bool correcto() const { return error.isEmpty() && paginas > 0; }
    };
    Resultado generar(const DeclaracionImpresion &declaracion);

    QString error() const { return m_error; }

private:
    AccesoDatos &m_datos;
    QString m_error;
};

} // namespace kv
