#include "frmpreview.h"

#include "hojaprevia.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/cursorespera.h"
#include "store/ui/listas.h"
#include "store/utilidad.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpressionValidator>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <new>

namespace kv {

namespace {
const QString kTitulo = QStringLiteral("Presentación Preliminar");
const QString kModoPrevia = QStringLiteral("PresPrevia");

// The dark border around the sheet, in pixels.
constexpr int kBorde = 8;
// How far the zoom goes either way, and how much a wheel notch changes it.
constexpr double kZoomMinimo = 0.2;
constexpr double kZoomMaximo = 4.0;
constexpr double kFactorMuesca = 1.15;

// The icons of the two views, from the desktop's theme when it has them: a
// sheet with an arrow across it (as wide as the window) or a whole sheet
// inside a frame.
QIcon iconoVista(bool ancho, const QPalette &paleta)
{
    const QIcon tema = QIcon::fromTheme(ancho ? QStringLiteral("zoom-fit-width") : QStringLiteral("zoom-fit-best"));
    if (!tema.isNull())
        return tema;
    QPixmap imagen(32, 32);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(paleta.color(QPalette::WindowText), 2));
    p.setBrush(paleta.color(QPalette::Base));
    if (ancho) {
        p.drawRect(QRectF(7, 3, 18, 26));
        p.drawLine(QPointF(2, 16), QPointF(30, 16));
        for (const double x : {2.0, 30.0}) {
            const double d = x < 16 ? 5 : -5;
            p.drawLine(QPointF(x, 16), QPointF(x + d, 11));
            p.drawLine(QPointF(x, 16), QPointF(x + d, 21));
        }
    } else {
        p.drawRect(QRectF(10, 7, 12, 18));
        for (const QPointF &esquina : {QPointF(2, 2), QPointF(30, 2), QPointF(2, 30), QPointF(30, 30)}) {
            const double dx = esquina.x() < 16 ? 6 : -6;
            const double dy = esquina.y() < 16 ? 6 : -6;
            p.drawLine(esquina, esquina + QPointF(dx, 0));
            p.drawLine(esquina, esquina + QPointF(0, dy));
        }
    }
    return QIcon(imagen);
}
} // namespace

frmPreview::frmPreview(Contexto &contexto, FabricaImpresora fabrica, QWidget *padre)
    : QDialog(padre), m_ctx(contexto), m_fabrica(fabrica ? std::move(fabrica) : fabricaImpresoraSistema())
{
    setWindowTitle(kTitulo);
    setObjectName(QStringLiteral("frmPreview"));

    m_barra = new QToolBar(this);
    m_barra->setObjectName(QStringLiteral("tlbPrevia"));
    m_barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_anterior = m_barra->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Anterior"));
    m_anterior->setToolTip(QStringLiteral("Pag Anterior"));
    m_siguiente = m_barra->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Siguiente"));
    m_siguiente->setToolTip(QStringLiteral("Pag Sgt"));
    m_barra->addSeparator();
    m_imprimir = m_barra->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Imprimir"));
    m_imprimir->setToolTip(QStringLiteral("Imprimir"));
    m_exportar = m_barra->addAction(style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Exportar PDF"));
    m_exportar->setToolTip(QStringLiteral("Exportar PDF"));
    m_barra->addSeparator();
    m_salir = m_barra->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Salir"));
    m_salir->setToolTip(QStringLiteral("Salir"));
    m_barra->addSeparator();

    // "Hoja [ 1 ] de 74": the page on view, typed to go to another.
    auto *lblHoja = new QLabel(QStringLiteral(" &Hoja "), m_barra);
    m_txtHoja = new QLineEdit(m_barra);
    m_txtHoja->setObjectName(QStringLiteral("txtHoja"));
    // Digits only; a number out of range is taken to the nearest page.
    m_txtHoja->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), m_txtHoja));
    m_txtHoja->setAlignment(Qt::AlignRight);
    m_txtHoja->setFixedWidth(m_txtHoja->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    lblHoja->setBuddy(m_txtHoja);
    nombrarControl(m_txtHoja, QStringLiteral("Hoja"), QStringLiteral("txtHoja"));
    m_lblTotal = new QLabel(m_barra);
    m_lblTotal->setObjectName(QStringLiteral("lblTotal"));
    m_barra->addWidget(lblHoja);
    m_barra->addWidget(m_txtHoja);
    m_barra->addWidget(m_lblTotal);
    connect(m_txtHoja, &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        const int n = m_txtHoja->text().toInt(&ok);
        if (ok && n != m_actual + 1)
            irAHoja(n);
        else
            actualizarEstado();
    });
    m_barra->addSeparator();

    m_anchoPagina = m_barra->addAction(iconoVista(true, palette()), QStringLiteral("Ancho de página"));
    m_anchoPagina->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    m_anchoPagina->setToolTip(QStringLiteral("Ancho de página (Ctrl+0)"));
    m_paginaCompleta = m_barra->addAction(iconoVista(false, palette()), QStringLiteral("Página completa"));
    m_paginaCompleta->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    m_paginaCompleta->setToolTip(QStringLiteral("Página completa (Ctrl+1)"));
    // Icons alone, so that the whole toolbar fits the window; the tooltip
    // and the accessible name say what they do.
    for (QAction *a : {m_anchoPagina, m_paginaCompleta}) {
        a->setCheckable(true);
        if (auto *boton = qobject_cast<QToolButton *>(m_barra->widgetForAction(a)))
            boton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    m_anchoPagina->setChecked(true);
    connect(m_anchoPagina, &QAction::triggered, this, [this] { fijarVista(Vista::AnchoPagina); });
    connect(m_paginaCompleta, &QAction::triggered, this, [this] { fijarVista(Vista::PaginaCompleta); });

    int posicion = 0;
    for (QAction *a : {m_anterior, m_siguiente, m_imprimir, m_exportar, m_salir, m_anchoPagina, m_paginaCompleta})
        nombrarControl(m_barra->widgetForAction(a), a->text(), QStringLiteral("tlbPrevia(%1)").arg(++posicion));

    m_visor = new VisorPrevia(this);
    m_visor->setObjectName(QStringLiteral("picFondo"));
    nombrarControl(m_visor, QStringLiteral("Hoja"), QStringLiteral("picFondo"));
    m_picFondo = new QWidget;
    m_picFondo->setBackgroundRole(QPalette::Dark);
    m_picFondo->setAutoFillBackground(true);
    m_hoja = new HojaPrevia(m_picFondo);
    m_hoja->setObjectName(QStringLiteral("picPrevia"));
    m_hoja->move(kBorde, kBorde);
    m_picFondo->resize(m_hoja->size() + QSize(2 * kBorde, 2 * kBorde));
    m_visor->setWidget(m_picFondo);
    nombrarControl(vsbPic(), QStringLiteral("Desplazamiento vertical"), QStringLiteral("vsbPic"));
    nombrarControl(HScroll1(), QStringLiteral("Desplazamiento horizontal"), QStringLiteral("HScroll1"));
    connect(m_visor, &VisorPrevia::pasarHoja, this, &frmPreview::pasarHoja);
    connect(m_visor, &VisorPrevia::zoomPedido, this, &frmPreview::acercar);
    connect(m_visor, &VisorPrevia::redimensionado, this, &frmPreview::ajustarVista);

    auto *principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 0);
    principal->setSpacing(0);
    principal->addWidget(m_barra);
    principal->addWidget(m_visor, 1);

    connect(m_anterior, &QAction::triggered, this, [this] { pMostrar(-2); });
    connect(m_siguiente, &QAction::triggered, this, [this] { pMostrar(-1); });
    connect(m_imprimir, &QAction::triggered, this, &frmPreview::imprimir);
    connect(m_exportar, &QAction::triggered, this, &frmPreview::exportarPdf);
    connect(m_salir, &QAction::triggered, this, &QDialog::close);

    // The keys of reading, wherever the focus is; a field that uses a key
    // itself (Home and End in the page number) keeps it.
    const auto tecla = [this](const QList<QKeySequence> &teclas, auto accion) {
        auto *a = new QAction(this);
        a->setShortcuts(teclas);
        connect(a, &QAction::triggered, this, accion);
        addAction(a);
    };
    tecla({QKeySequence(Qt::Key_PageDown)}, [this] { pMostrar(-1); });
    tecla({QKeySequence(Qt::Key_PageUp)}, [this] { pMostrar(-2); });
    tecla({QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_Home)}, [this] { pMostrar(0); });
    tecla({QKeySequence(Qt::Key_End), QKeySequence(Qt::CTRL | Qt::Key_End)}, [this] { ultimaHoja(); });
    tecla({QKeySequence(Qt::Key_Down)}, [this] { desplazar(1); });
    tecla({QKeySequence(Qt::Key_Up)}, [this] { desplazar(-1); });
    tecla({QKeySequence(Qt::Key_Right)}, [this] { desplazarHorizontal(1); });
    tecla({QKeySequence(Qt::Key_Left)}, [this] { desplazarHorizontal(-1); });
    tecla(QKeySequence::keyBindings(QKeySequence::ZoomIn), [this] { acercar(1); });
    tecla(QKeySequence::keyBindings(QKeySequence::ZoomOut), [this] { acercar(-1); });

    m_lectura.setInterval(0);
    connect(&m_lectura, &QTimer::timeout, this, &frmPreview::seguirLectura);

    elegirArchivoPdf = [this](const QString &sugerido) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Exportar PDF"), sugerido,
                                            QStringLiteral("Documentos PDF (*.pdf)"));
    };

    // The sheet at its natural size across the window, about two thirds of
    // its height on view (less on a short screen).
    int alto = 760;
    if (const QScreen *pantalla = screen())
        alto = std::min(alto, pantalla->availableGeometry().height() * 9 / 10);
    resize(m_hoja->tamanoNatural().width() + 2 * kBorde + vsbPic()->sizeHint().width()
               + 2 * m_visor->frameWidth(),
           alto);
    fijarVista(Vista::AnchoPagina);
    m_visor->setFocus();
    actualizarEstado();
}

frmPreview::~frmPreview() = default;

QWidget *frmPreview::picPrevia() const
{
    return m_hoja;
}

QScrollBar *frmPreview::vsbPic() const
{
    return m_visor->verticalScrollBar();
}

QScrollBar *frmPreview::HScroll1() const
{
    return m_visor->horizontalScrollBar();
}

const Pagina &frmPreview::paginaVisible() const
{
    return m_hoja->pagina();
}

QColor frmPreview::colorFondo() const
{
    return m_hoja->colorFondo();
}

QString frmPreview::rutaArchivo(const QString &nombre) const
{
    return m_ctx.sRutaReportes + u'/' + nombre;
}

QString frmPreview::pdfEnCarpetaReportes() const
{
    return rutaArchivo(QFileInfo(sRut).completeBaseName() + QStringLiteral(".pdf"));
}

void frmPreview::cargar()
{
    try {
        pDesencripta(sRut, kModoPrevia);
        pMostrar(0);
    } catch (const std::bad_alloc &) {
        m_ctx.mensajes->mostrar(QStringLiteral("Error"),
                                QStringLiteral("Error tecnico: 7\nMemoria insuficiente\nIntente nuevamente por favor."),
                                Icono::Critico);
    } catch (const std::exception &e) {
        m_ctx.mensajes->mostrar(QStringLiteral("Error"),
                                QStringLiteral("Error tecnico: 5\n%1\nIntente nuevamente por favor.")
                                    .arg(QString::fromLocal8Bit(e.what())),
                                Icono::Critico);
    }
}

void frmPreview::informarLectura(const ErrorLectura &error)
{
    m_ctx.mensajes->mostrar(windowTitle(), QStringLiteral("Error %1 - %2").arg(error.numero).arg(error.descripcion()),
                            Icono::Ninguno, Botones::Aceptar);
}

bool frmPreview::pDesencripta(const QString &sNombreArchivo, const QString &sTipo)
{
    const QString ruta = rutaArchivo(sNombreArchivo);
    const bool existe = m_ctx.utilidad ? m_ctx.utilidad->existeArchivo(ruta) : QFileInfo::exists(ruta);
    if (!existe) {
        m_ctx.mensajes->mostrar(QStringLiteral("Error al Imprimir"), QStringLiteral("Archivo Físico del Reporte no Existe"),
                                Icono::Critico);
        return false;
    }
    CursorEspera espera;
    const std::optional<RangoPaginas> rango =
        bImpRango ? std::optional<RangoPaginas>(RangoPaginas{nPagIni, nPagFin}) : std::nullopt;

    if (sTipo == kModoPrevia) {
        // The first page is shown as soon as it is known; the rest of the
        // file is read while the user looks at it.
        m_lectura.stop();
        m_indice.iniciar(ruta, rango.value_or(RangoPaginas{1, std::numeric_limits<int>::max()}));
        m_indice.asegurarCuadro(0);
        m_actual = 0;
        m_hoja->mostrar(m_indice.pagina(0));
        vsbPic()->setValue(0);
        if (m_indice.completo())
            return terminarLectura();
        m_lectura.start();
        actualizarEstado();
        return true;
    }

    m_ultimoPdf.clear();
    std::unique_ptr<Impresora> impresora = m_fabrica(pdfEnCarpetaReportes());
    const ResultadoImpresion r = imprimirReporte(ruta, *impresora, rango);
    sOrientacion = r.orientacion;
    m_ultimoPdf = r.archivoPdf;
    if (r.lectura.hay()) {
        informarLectura(r.lectura);
        return false;
    }
    if (r.impresora.hay()) {
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("Error %1 - %2").arg(r.impresora.numero).arg(r.impresora.descripcion),
                                Icono::Critico);
        return false;
    }
    if (!r.archivoPdf.isEmpty())
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("No hay una impresora predeterminada. El reporte se guardó en el archivo %1")
                                    .arg(QDir::toNativeSeparators(r.archivoPdf)),
                                Icono::Informacion);
    return true;
}

void frmPreview::seguirLectura()
{
    if (!m_indice.avanzar(2000))
        terminarLectura();
}

bool frmPreview::terminarLectura()
{
    m_lectura.stop();
    actualizarEstado();
    if (m_indice.error().hay()) {
        informarLectura(m_indice.error());
        return false;
    }
    return true;
}

void frmPreview::completarLectura()
{
    if (!m_lectura.isActive())
        return;
    while (m_indice.avanzar(4096)) {
    }
    terminarLectura();
}

void frmPreview::imprimir()
{
    // Without a printer the message about the PDF file has said it all.
    if (pDesencripta(sRut, QStringLiteral("IMPRIMIR")) && m_ultimoPdf.isEmpty())
        m_ctx.mensajes->mostrar(kTitulo, QStringLiteral("Reporte se imprimió satisfactoriamente"), Icono::Informacion);
}

void frmPreview::exportarPdf()
{
    const QString destino = elegirArchivoPdf ? elegirArchivoPdf(pdfEnCarpetaReportes()) : QString();
    if (destino.isEmpty())
        return;
    const QString ruta = rutaArchivo(sRut);
    if (!QFileInfo::exists(ruta)) {
        m_ctx.mensajes->mostrar(QStringLiteral("Error al Imprimir"), QStringLiteral("Archivo Físico del Reporte no Existe"),
                                Icono::Critico);
        return;
    }
    CursorEspera espera;
    auto impresora = crearImpresoraPdf(destino);
    const std::optional<RangoPaginas> rango =
        bImpRango ? std::optional<RangoPaginas>(RangoPaginas{nPagIni, nPagFin}) : std::nullopt;
    const ResultadoImpresion r = imprimirReporte(ruta, *impresora, rango);
    if (r.lectura.hay()) {
        informarLectura(r.lectura);
        return;
    }
    if (r.impresora.hay()) {
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("Error %1 - %2").arg(r.impresora.numero).arg(r.impresora.descripcion),
                                Icono::Critico);
        return;
    }
    m_ctx.mensajes->mostrar(windowTitle(),
                            QStringLiteral("El reporte se guardó en el archivo %1").arg(QDir::toNativeSeparators(destino)),
                            Icono::Informacion);
}

void frmPreview::pMostrar(int Nrohoja)
{
    if (Nrohoja == -1)
        m_indice.asegurarCuadro(m_actual + 1);
    const int ultimo = m_indice.cuadros() - 1;
    int destino = m_actual;
    if (Nrohoja == 0)
        destino = 0;
    else if (Nrohoja == -2 && m_actual > 0)
        destino = m_actual - 1;
    else if (Nrohoja == -1 && m_actual < ultimo)
        destino = m_actual + 1;
    if (destino != m_actual || Nrohoja == 0)
        mostrarCuadro(destino, false);
    else
        vsbPic()->setValue(0);
    actualizarEstado();
}

void frmPreview::mostrarCuadro(int indice, bool alPie)
{
    m_actual = indice;
    ErrorLectura error;
    m_hoja->mostrar(m_indice.pagina(m_actual, &error));
    m_hoja->show();
    // A page is looked at from its top; coming back to it from the next
    // one, from its foot.
    vsbPic()->setValue(alPie ? vsbPic()->maximum() : 0);
    actualizarEstado();
    if (error.hay())
        informarLectura(error);
}

void frmPreview::irAHoja(int n)
{
    CursorEspera espera;
    m_indice.asegurarCuadro(std::max(0, n - 1));
    const int destino = std::clamp(n - 1, 0, std::max(0, m_indice.cuadros() - 1));
    mostrarCuadro(destino, false);
}

void frmPreview::ultimaHoja()
{
    {
        CursorEspera espera;
        completarLectura();
    }
    mostrarCuadro(std::max(0, m_indice.cuadros() - 1), false);
}

void frmPreview::pasarHoja(int sentido)
{
    if (sentido > 0) {
        m_indice.asegurarCuadro(m_actual + 1);
        if (m_actual + 1 < m_indice.cuadros())
            mostrarCuadro(m_actual + 1, false);
    } else if (m_actual > 0) {
        mostrarCuadro(m_actual - 1, true);
    }
}

void frmPreview::desplazar(int sentido)
{
    QScrollBar *barra = vsbPic();
    if ((sentido > 0 && barra->value() >= barra->maximum()) || (sentido < 0 && barra->value() <= barra->minimum()))
        pasarHoja(sentido);
    else
        barra->setValue(barra->value() + sentido * barra->singleStep());
}

void frmPreview::desplazarHorizontal(int sentido)
{
    // With the whole width on view the side arrows turn pages.
    QScrollBar *barra = HScroll1();
    if (barra->maximum() <= barra->minimum())
        pasarHoja(sentido);
    else
        barra->setValue(barra->value() + sentido * barra->singleStep());
}

double frmPreview::zoom() const
{
    return m_hoja->zoom();
}

void frmPreview::fijarVista(Vista vista)
{
    m_vista = vista;
    m_anchoPagina->setChecked(vista == Vista::AnchoPagina);
    m_paginaCompleta->setChecked(vista == Vista::PaginaCompleta);
    // One bar a direction, and only where the page can move: as wide as
    // the window it moves up and down, whole it does not move.
    switch (vista) {
    case Vista::AnchoPagina:
        m_visor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_visor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        break;
    case Vista::PaginaCompleta:
        m_visor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_visor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        break;
    case Vista::Libre:
        m_visor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_visor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        break;
    }
    ajustarVista();
}

void frmPreview::ajustarVista()
{
    if (m_vista == Vista::Libre)
        return;
    const QSize natural = m_hoja->tamanoNatural();
    // Without the bars the view policy leaves out; the one always shown is
    // taken off already.
    const QSize hueco = m_visor->maximumViewportSize() - QSize(2 * kBorde, 2 * kBorde);
    double z = double(hueco.width()) / natural.width();
    if (m_vista == Vista::PaginaCompleta)
        z = std::min(z, double(hueco.height()) / natural.height());
    aplicarZoom(z);
}

void frmPreview::acercar(double pasos)
{
    if (m_vista != Vista::Libre)
        fijarVista(Vista::Libre);
    aplicarZoom(zoom() * std::pow(kFactorMuesca, pasos));
}

void frmPreview::aplicarZoom(double nuevo)
{
    nuevo = std::clamp(nuevo, kZoomMinimo, kZoomMaximo);
    if (qFuzzyCompare(nuevo, zoom()) && m_picFondo->size() == m_hoja->size() + QSize(2 * kBorde, 2 * kBorde))
        return;
    // The same part of the page stays on view.
    QScrollBar *v = vsbPic();
    const double fraccion = v->maximum() > 0 ? double(v->value()) / v->maximum() : 0.0;
    m_hoja->fijarZoom(nuevo);
    m_picFondo->resize(m_hoja->size() + QSize(2 * kBorde, 2 * kBorde));
    v->setValue(qRound(fraccion * v->maximum()));
    v->setSingleStep(std::max(1, m_hoja->height() / 40));
    HScroll1()->setSingleStep(std::max(1, m_hoja->width() / 40));
}

void frmPreview::actualizarEstado()
{
    m_txtHoja->setText(QString::number(m_actual + 1));
    m_lblTotal->setText(m_indice.completo() ? QStringLiteral(" de %1 ").arg(std::max(1, m_indice.cuadros()))
                                            : QStringLiteral(" de … "));
    m_anterior->setEnabled(true);
    m_siguiente->setEnabled(true);
}

void AbrePreview(Contexto &contexto, const QString &sRut, const QString &modo, int paginas, int primera, int ultima,
                 QWidget *padre, FabricaImpresora fabrica)
{
    frmPreview ventana(contexto, std::move(fabrica), padre);
    ventana.sRut = sRut;
    if (modo == QLatin1String("Vprevia")) {
        ventana.nNroHojas = paginas;
        ventana.nPagIni = primera;
        ventana.nPagFin = ultima;
        ventana.bImpRango = true;
        ventana.setWindowModality(Qt::ApplicationModal);
        ventana.cargar();
        ventana.exec();
    } else {
        ventana.pDesencripta(sRut, modo);
    }
}

} // namespace kv
