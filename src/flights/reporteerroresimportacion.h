#pragma once

#include "store/basedatos.h"

#include <QDateTime>
#include <QString>

namespace kv {

struct Contexto;
class EscritorReporte;

// The import error report: the lines of the error file of a flight import,
// as a page-description file. A heading on the first page, then the lines
// 270 twips apart from y 4130; a page ends after the line that lies below
// y 14000 (38 lines a page, at the same places on every page), and the
// total of lines closes the report between two rules.
class ReporteErroresImportacion
{
public:
    static constexpr int kX = 300;
    static constexpr int kXFinRegla = 11500;
    static constexpr int kInicioCuerpo = 3860;
    static constexpr int kInterlinea = 270;
    static constexpr int kLimiteHoja = 14000;

    // What the heading shows: the declaration's taxpayer and period
    // (mm/yyyy), and the moment the report is made.
    ReporteErroresImportacion(const QString &sRuc, const QString &sRazonSocial,
        const QString &periodoMostrado, const QDateTime &momento);

    // Writes the report of the error file `rutaErrores` into `rutaReporte`
    // and returns the number of its last page (from 0); -1 when a file
    // could not be read or written (see error()).
    int ReporteErrores(const QString &rutaReporte, const QString &rutaErrores);

    // The heading of page `pnNumPag`; returns the y of the rule under which
    // the body starts.
    int HeaderError(int pnNumPag, EscritorReporte &nArchivo) const;

    // The lines of the error file from below `nFilaIni`, page `nNumPag` on,
    // and the total; returns the number of the last page written, -1 when
    // the error file could not be read.
    int BodyRepError(const QString &sArcError, int nFilaIni, int nNumPag, EscritorReporte &nFileRep);

    QString error() const { return m_error; }

private:
    QString m_ruc;
    QString m_razonSocial;
    QString m_periodo;
    QDateTime m_momento;
    QString m_error;
};

// A report made for the register: its file name in the reports folder and
// its last page, or why it could not be made.
struct ReporteRegistrado
{
    QString archivo;
    int ultimaHoja = -1;
    ErrorBD error;

    bool hecho() const { return !error.hay() && ultimaHoja >= 0; }
};

// Registers a new "ZEN003" report file for the declaration's taxpayer and
// writes into it the report of the error file.
ReporteRegistrado registrarReporteErrores(
    Contexto &contexto, const QString &periodoMostrado, const QString &rutaErrores);

} // namespace kv
