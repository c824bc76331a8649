#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <memory>

class QPainter;

namespace kv {

enum class Orientacion { Vertical, Horizontal };

// What went wrong with a print job, by the numbers the reports show:
// 482 no printer could be used, 20545 the job was cancelled; any other
// number comes with its own description.
struct ErrorImpresora
{
    int numero = 0;
    QString descripcion;
    bool hay() const { return numero != 0; }
};

// The printer as the reports use it: one job at a time, positions in twips
// from the top-left corner of the page, the font set piece by piece and kept
// until changed. A job starts portrait unless asked otherwise; the next job
// starts from its own orientation again.
//
// A page break only takes effect when something is drawn after it, so a job
// that ends right after a break has no blank last page.
//
// Every call after a failure does nothing and returns false; error() says
// what failed.
class Impresora
{
public:
    static constexpr int kErrorImpresora = 482;
    static constexpr int kErrorCancelada = 20545;

    virtual ~Impresora() = default;

    virtual bool iniciar(Orientacion orientacion = Orientacion::Vertical, const QString &titulo = {}) = 0;

    virtual void fijarFuente(const QString &nombre) = 0;
    virtual void fijarTamano(double puntos) = 0;
    virtual void fijarNegrita(bool negrita) = 0;
    virtual void fijarCursiva(bool cursiva) = 0;
    virtual void fijarSubrayado(bool subrayado) = 0;

    // The text with the top-left corner of its first character cell at (x, y).
    virtual bool texto(int x, int y, const QString &texto) = 0;
    // A line one pixel wide of the device.
    virtual bool linea(int x1, int y1, int x2, int y2) = 0;
    virtual bool nuevaPagina() = 0;

    // Sends the job. False (with error()) when it could not be completed.
    virtual bool terminar() = 0;
    // Drops the job: nothing of it is printed or kept.
    virtual void abortar() = 0;

    virtual ErrorImpresora error() const = 0;

    // Height in twips of one line of the current font, and the size in twips
    // of the area a page can be drawn on (in the job's orientation), for
    // writers that place lines one below the other.
    virtual int altoLinea() const = 0;
    virtual QSize areaPagina() const = 0;

    // The PDF file the job went to, when it went to one instead of a printer.
    virtual QString archivoPdf() const { return {}; }
};

// The system's default printer; when the machine has none, a PDF file at
// `pdfSiNoHayImpresora` (A4) takes its place and archivoPdf() names it.
std::unique_ptr<Impresora> crearImpresoraSistema(const QString &pdfSiNoHayImpresora);
// Always a PDF file (A4, coordinates from the corner of the paper).
std::unique_ptr<Impresora> crearImpresoraPdf(const QString &rutaPdf);
// True when the machine has a default printer.
bool hayImpresoraPredeterminada();

// How the windows and engines get their printer, so that tests can hand
// them a recording one. The argument is where a PDF goes when there is no
// printer.
using FabricaImpresora = std::function<std::unique_ptr<Impresora>(const QString &pdfSiNoHayImpresora)>;
FabricaImpresora fabricaImpresoraSistema();

} // namespace kv
