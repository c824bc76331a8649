#pragma once

#include "reports/impresora.h"
#include "reports/motorreporte.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QScrollBar;
class QToolBar;

namespace kv {

struct Contexto;
class HojaPrevia;
class VisorPrevia;

// "Presentación Preliminar": the pages of a range of a report file, one at
// a time, with paging, printing and PDF export.
//
// Reading it: the wheel and the arrow keys scroll the page and, past its
// top or foot, turn to the previous or next one; Page Up and Page Down turn
// pages, Home and End go to the first and the last; a page number typed in
// the toolbar's field ("Hoja [ 1 ] de 74") goes to that page. The page is
// shown as wide as the window (Ctrl+0), whole (Ctrl+1), or at the size
// Ctrl and the wheel (or Ctrl+plus and Ctrl+minus) give it.
//
// Only the page on view is held in memory: the file is read once to learn
// where each page's lines are (the first page is shown as soon as its lines
// are known, the rest is read while the window idles), and a page is read
// again when it is shown.
class frmPreview : public QDialog
{
    Q_OBJECT
public:
    enum class Vista { AnchoPagina, PaginaCompleta, Libre };

    explicit frmPreview(Contexto &contexto, FabricaImpresora fabrica = {}, QWidget *padre = nullptr);
    ~frmPreview() override;

    // Set by AbrePreview before the window is shown.
    QString sRut;
    bool bImpRango = false;
    int nNroHojas = 0;
    int nPagIni = 1;
    int nPagFin = 1;
    QString sOrientacion;

    // Window load: the file read in preview mode, the first page shown.
    void cargar();

    // Reads reports folder + "/" + the file: "PresPrevia" sets up the page
    // pictures, anything else prints. False when the file is missing or
    // could not be read or printed to its end.
    bool pDesencripta(const QString &sNombreArchivo, const QString &sTipo);

    // 0 the first page, -1 the next, -2 the previous; nothing happens past
    // either end.
    void pMostrar(int Nrohoja);
    // The n-th picture (from 1), read as far as needed; past the end, the
    // last one.
    void irAHoja(int n);
    void ultimaHoja();

    Vista vista() const { return m_vista; }
    void fijarVista(Vista vista);
    double zoom() const;
    // Enlarges (positive) or shrinks the page by wheel notches.
    void acercar(double pasos);

    // Pictures known so far (all of them once the file is read).
    int cuadros() const { return m_indice.cuadros(); }
    int nHojaActual() const { return m_actual; }
    const Pagina &paginaVisible() const;
    QColor colorFondo() const;

    QAction *accionAnterior() const { return m_anterior; }
    QAction *accionSiguiente() const { return m_siguiente; }
    QAction *accionImprimir() const { return m_imprimir; }
    QAction *accionExportar() const { return m_exportar; }
    QAction *accionSalir() const { return m_salir; }
    QAction *accionAnchoPagina() const { return m_anchoPagina; }
    QAction *accionPaginaCompleta() const { return m_paginaCompleta; }
    QLineEdit *txtHoja() const { return m_txtHoja; }
    QScrollBar *vsbPic() const;
    QScrollBar *HScroll1() const;
    QWidget *picPrevia() const;
    VisorPrevia *visor() const { return m_visor; }

    // Asks where to save a PDF; a test can answer for the user. Empty: the
    // user gave up.
    std::function<QString(const QString &sugerido)> elegirArchivoPdf;

    // Reads the rest of the file now instead of while the window idles.
    void completarLectura();
    bool lecturaCompleta() const { return m_indice.completo(); }

    // "Imprimir" and "Exportar PDF" of the toolbar.
    void imprimir();
    void exportarPdf();

private:
    QString rutaArchivo(const QString &nombre) const;
    QString pdfEnCarpetaReportes() const;
    void mostrarCuadro(int indice, bool alPie);
    void desplazar(int sentido);
    void desplazarHorizontal(int sentido);
    void pasarHoja(int sentido);
    void ajustarVista();
    void aplicarZoom(double zoom);
    void actualizarEstado();
    void informarLectura(const ErrorLectura &error);
    void seguirLectura();
    bool terminarLectura();

    Contexto &m_ctx;
    FabricaImpresora m_fabrica;
    IndicePrevia m_indice;
    QTimer m_lectura;
    int m_actual = 0;
    Vista m_vista = Vista::AnchoPagina;
    QString m_ultimoPdf;
    QToolBar *m_barra = nullptr;
    QAction *m_anterior = nullptr;
    QAction *m_siguiente = nullptr;
    QAction *m_imprimir = nullptr;
    QAction *m_exportar = nullptr;
    QAction *m_salir = nullptr;
    QAction *m_anchoPagina = nullptr;
    QAction *m_paginaCompleta = nullptr;
    QLineEdit *m_txtHoja = nullptr;
    QLabel *m_lblTotal = nullptr;
    VisorPrevia *m_visor = nullptr;
    QWidget *m_picFondo = nullptr;
    HojaPrevia *m_hoja = nullptr;
};

// Opens a report: "Vprevia" shows the preview on pages `primera` to
// `ultima` of `paginas` and returns when it is closed; any other mode
// ("FILE") prints the whole file at once without showing anything.
void AbrePreview(Contexto &contexto, const QString &sRut, const QString &modo, int paginas, int primera, int ultima,
                 QWidget *padre = nullptr, FabricaImpresora fabrica = {});

} // namespace kv
