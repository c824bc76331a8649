#pragma once

#include "impresora.h"
#include "lectorreporte.h"

#include <QList>
#include <QString>
#include <optional>

namespace kv {

// First and last page of a range, counted from 1.
struct RangoPaginas
{
    int inicio = 1;
    int fin = 1;
    bool contiene(int pagina) const { return inicio <= pagina && pagina <= fin; }
};

// Which preview picture a drawing record of a range goes to. The k-th page
// of the range lands on picture k - 1 whatever its number in the file;
// there is always at least one picture, so a range beyond the end of the
// report shows one empty page.
class ColocacionRango
{
public:
    explicit ColocacionRango(RangoPaginas rango) : m_rango(rango) {}

    // The picture for a record of page `hoja` (from 0), or -1 when the page
    // lies outside the range.
    int colocar(int hoja);
    // A page-count record starts the count of pages met again.
    void reiniciar() { m_hojaActual = 0; }

    int cuadros() const { return m_cuadros; }

private:
    RangoPaginas m_rango;
    int m_hojaActual = 0;
    int m_cuadros = 1;
};

// How a print job went.
struct ResultadoImpresion
{
    bool completo = false; // the whole file was read and the job sent
    int paginas = 0;       // pages sent to the printer
    ErrorLectura lectura;  // the file could not be read to its end
    ErrorImpresora impresora;
    QString archivoPdf;    // the job went to this PDF file instead of a printer
    QString orientacion;   // the value of the last orientation record
};

// Sends a page-description file to a printer as one job: every page, or
// only the pages of the range. "pNuevaHoja" ends a printed page (in a range,
// only after a page of the range), "H" in the orientation record makes this
// job landscape, and a break right before the end adds no blank page.
// A job that fails half way (unreadable line, printer error) is abandoned,
// so no partial report comes out of the printer.
ResultadoImpresion imprimirReporte(const QString &ruta, Impresora &impresora,
                                   std::optional<RangoPaginas> rango = std::nullopt);

// What the preview keeps of a file: for each picture, where its lines are,
// so that a page is read again when it is shown and the preview's memory
// does not grow with the number of pages.
class IndicePrevia
{
public:
    struct Tramo
    {
        qint64 posicion = 0; // byte offset of the first line
        int linea = 0;       // its number
        int registros = 0;   // consecutive drawing records of the picture
    };
    struct Cuadro
    {
        quint32 colorOle = kColorVentana;
        QList<Tramo> tramos;
    };

    // One pass over the file, placing records by the rules of the range.
    // Pictures placed before an unreadable line are kept; error() says where
    // it stopped.
    bool construir(const QString &ruta, RangoPaginas rango);

    // The same pass a little at a time, so that the first page can be shown
    // before a long file has been read to its end: iniciar() opens the
    // file, avanzar() places up to `registros` more records and returns
    // false once the file is done (or an error stopped it).
    bool iniciar(const QString &ruta, RangoPaginas rango);
    bool avanzar(int registros);
    // Reads on until picture i is complete (the next one has begun, or the
    // file is done).
    void asegurarCuadro(int i);
    bool completo() const { return m_completo; }

    // Pictures placed so far (all of them once completo()).
    int cuadros() const { return int(m_cuadros.size()); }
    const Cuadro &cuadro(int i) const { return m_cuadros.at(i); }
    const ErrorLectura &error() const { return m_error; }
    QString ruta() const { return m_ruta; }

    // The page of picture i, read again from the file.
    Pagina pagina(int i, ErrorLectura *error = nullptr) const;

private:
    QString m_ruta;
    QList<Cuadro> m_cuadros;
    ErrorLectura m_error;
    LectorReporte m_lector;
    ColocacionRango m_colocacion{RangoPaginas{}};
    int m_ultimoCuadro = -1; // the picture of the previous line, when it was placed
    bool m_completo = true;
};

// The whole of a page-description file, every page as the printer would
// print it, into a PDF file (A4). On failure `error` holds the reader's or
// the writer's message and no PDF is left behind.
bool exportarPdf(const QString &archivo, const QString &salida, QString *error = nullptr);

} // namespace kv
