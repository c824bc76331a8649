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
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <new>

namespace kv {

namespace {
const QString kTitulo = QStringLiteral("Presentación Preliminar");
const QString kModoPrevia = QStringLiteral("PresPrevia");

// The scroll bars move the page in twips: far enough to reach the foot and
// the right edge of a portrait page.
constexpr int kMaxVertical = 11000;
constexpr int kMaxHorizontal = 8000;
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
    m_estado = new QLabel(m_barra);
    m_barra->addWidget(m_estado);
    int posicion = 0;
    for (QAction *a : {m_anterior, m_siguiente, m_imprimir, m_exportar, m_salir})
        nombrarControl(m_barra->widgetForAction(a), a->text(), QStringLiteral("tlbPrevia(%1)").arg(++posicion));

    m_picFondo = new QWidget(this);
    m_picFondo->setObjectName(QStringLiteral("picFondo"));
    m_picFondo->setBackgroundRole(QPalette::Dark);
    m_picFondo->setAutoFillBackground(true);
    m_picFondo->setMinimumSize(200, 200);
    m_hoja = new HojaPrevia(m_picFondo);
    m_hoja->setObjectName(QStringLiteral("picPrevia"));
    m_hoja->move(0, 0);

    for (int i = 0; i < 2; ++i) {
        m_vsbPic[i] = new QScrollBar(Qt::Vertical, this);
        m_vsbPic[i]->setObjectName(QStringLiteral("vsbPic%1").arg(i));
        m_vsbPic[i]->setRange(0, kMaxVertical);
        m_vsbPic[i]->setSingleStep(350);
        m_vsbPic[i]->setPageStep(400);
        connect(m_vsbPic[i], &QScrollBar::valueChanged, this, &frmPreview::desplazarVertical);
        nombrarControl(m_vsbPic[i], QStringLiteral("Desplazamiento vertical"), QStringLiteral("vsbPic(%1)").arg(i));
    }
    m_hscroll = new QScrollBar(Qt::Horizontal, this);
    m_hscroll->setObjectName(QStringLiteral("HScroll1"));
    m_hscroll->setRange(0, kMaxHorizontal);
    m_hscroll->setSingleStep(45);
    m_hscroll->setPageStep(450);
    connect(m_hscroll, &QScrollBar::valueChanged, this, &frmPreview::desplazarHorizontal);
    nombrarControl(m_hscroll, QStringLiteral("Desplazamiento horizontal"), QStringLiteral("HScroll1"));

    auto *rejilla = new QGridLayout;
    rejilla->setSpacing(0);
    rejilla->addWidget(m_vsbPic[0], 0, 0);
    rejilla->addWidget(m_picFondo, 0, 1);
    rejilla->addWidget(m_vsbPic[1], 0, 2);
    rejilla->addWidget(m_hscroll, 1, 1);
    auto *principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 0);
    principal->addWidget(m_barra);
    principal->addLayout(rejilla, 1);

    connect(m_anterior, &QAction::triggered, this, [this] { pMostrar(-2); });
    connect(m_siguiente, &QAction::triggered, this, [this] { pMostrar(-1); });
    connect(m_imprimir, &QAction::triggered, this, &frmPreview::imprimir);
    connect(m_exportar, &QAction::triggered, this, &frmPreview::exportarPdf);
    connect(m_salir, &QAction::triggered, this, &QDialog::close);

    m_lectura.setInterval(0);
    connect(&m_lectura, &QTimer::timeout, this, &frmPreview::seguirLectura);

    elegirArchivoPdf = [this](const QString &sugerido) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Exportar PDF"), sugerido,
                                            QStringLiteral("Documentos PDF (*.pdf)"));
    };

    // Wide enough for the page, about two thirds of its height on view.
    resize(m_hoja->width() + 2 * m_vsbPic[0]->sizeHint().width() + 2, 760);
    actualizarEstado();
}

frmPreview::~frmPreview() = default;

QWidget *frmPreview::picPrevia() const
{
    return m_hoja;
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
    if (destino != m_actual || Nrohoja == 0) {
        m_actual = destino;
        ErrorLectura error;
        m_hoja->mostrar(m_indice.pagina(m_actual, &error));
        if (error.hay())
            informarLectura(error);
    }
    m_hoja->move(-twipsAPixeles(this, m_hscroll->value()), 0);
    {
        const QSignalBlocker b0(m_vsbPic[0]);
        const QSignalBlocker b1(m_vsbPic[1]);
        m_vsbPic[0]->setValue(0);
        m_vsbPic[1]->setValue(0);
    }
    m_hoja->show();
    actualizarEstado();
}

void frmPreview::desplazarVertical(int valor)
{
    const QSignalBlocker b0(m_vsbPic[0]);
    const QSignalBlocker b1(m_vsbPic[1]);
    m_vsbPic[0]->setValue(valor);
    m_vsbPic[1]->setValue(valor);
    m_hoja->move(m_hoja->x(), -twipsAPixeles(this, valor));
}

void frmPreview::desplazarHorizontal(int valor)
{
    m_hoja->move(-twipsAPixeles(this, valor), m_hoja->y());
}

void frmPreview::actualizarEstado()
{
    if (m_indice.completo())
        m_estado->setText(QStringLiteral("  Hoja %1 de %2").arg(m_actual + 1).arg(std::max(1, m_indice.cuadros())));
    else
        m_estado->setText(QStringLiteral("  Hoja %1").arg(m_actual + 1));
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
