#pragma once

#include "registroreporte.h"

#include <QFile>
#include <QString>
#include <optional>

namespace kv {

// Reads a page-description file record by record, in file order, without
// holding more than one line: the preview reads files of any length with it
// and comes back later to the lines of the page it shows.
//
// Lines of an unknown kind that hold "|" or "!>" are skipped. A line the
// reader cannot take apart stops the reading: siguiente() returns false and
// error() names the line and the reason.
class LectorReporte
{
public:
    bool abrir(const QString &ruta);
    void cerrar() { m_archivo.close(); }

    // The next record; false at the end of the file or on an error.
    bool siguiente(Registro &registro);

    // Continues reading at a line met before (its byte offset and number).
    bool irA(qint64 posicion, int linea);
    qint64 posicion() const { return m_archivo.pos(); }

    const ErrorLectura &error() const { return m_error; }

    // Takes one line apart (without its line end). nullopt for a line that
    // is skipped; `error` is set for one that cannot be read.
    static std::optional<Registro> interpretar(const QString &linea, int numeroLinea, ErrorLectura &error);

private:
    QFile m_archivo;
    int m_linea = 0;
    ErrorLectura m_error;
};

// A whole file turned into pages by the page field of its records.
struct DocumentoReporte
{
    QString fuente;
    int hojasDeclaradas = -1; // -1: no page-count record
    Orientacion orientacion = Orientacion::Vertical;
    bool hayColor = false;
    quint32 colorOle = kColorVentana;
    int saltos = 0;          // pNuevaHoja records
    QList<Pagina> paginas;   // index = page field; pages without records are empty
    ErrorLectura error;      // reading stopped here; what came before is kept
};

DocumentoReporte leerReporte(const QString &ruta);

// The declaration period a report is about, as mm/yyyy, read from the
// heading of its first page ("Período 03-2024", "PERIODO         : 03/2024",
// "... - PERIODO 03/2024"); empty when the first page names none.
QString periodoDeReporte(const QString &ruta);

// The number in "&H...&" notation of a colour record's value (the text
// between the tags); anything unreadable is 0.
quint32 leerColorOle(const QString &valor);

} // namespace kv
