#include "frmimportavuelos.h"

#include "reporteerroresimportacion.h"
#include "reports/ui/frmpreview.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/cursorespera.h"
#include "store/ui/listas.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace kv {

namespace {

const QString kTransferidosInicial = QStringLiteral("0          Registros Transferidos");
const QString kRechazadosInicial = QStringLiteral("0          Registros Rechazados");

// How often the counts, the bar and the window are brought up to date
// while a file is read.
constexpr int kRefrescoMs = 40;

// A label whose text is what a screen reader should say of it.
void rotular(QLabel *etiqueta, const QString &texto, const QString &nombreSistema)
{
    etiqueta->setText(texto);
    nombrarControl(etiqueta, texto, nombreSistema);
}

// `ruta` is `raiz` or one of the folders under it.
bool dentroDe(const QString &ruta, const QString &raiz)
{
    if (raiz.isEmpty())
        return false;
    return ruta == raiz || ruta.startsWith(raiz.endsWith(u'/') ? raiz : raiz + u'/');
}

QString textoError(const ErrorBD &error)
{
    return QStringLiteral("Error ") + QString::number(error.numero) + QStringLiteral(" - ") + error.texto;
}

} // namespace

frmImportaVuelos::frmImportaVuelos(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre)
    : QDialog(padre)
    , m_ctx(contexto)
    , m_importacion(contexto, parametros.periodoMostrado)
{
    setObjectName(QStringLiteral("frmImportaVuelos"));
    setWindowTitle(QStringLiteral("Importar Detalle de Vuelos"));

    m_fraArchivo = new QGroupBox(QStringLiteral("Archivo"), this);
    auto *indicacion = new QLabel(
        QStringLiteral(
            "Seleccione la unidad y el directorio desde el que se desea importar la información :"),
        m_fraArchivo);
    indicacion->setWordWrap(true);

    m_lblCarpeta = new QLabel(QStringLiteral("&Carpeta :"), m_fraArchivo);
    m_txtCarpeta = new QLineEdit(m_fraArchivo);
    m_txtCarpeta->setObjectName(QStringLiteral("Drive1"));
    m_lblCarpeta->setBuddy(m_txtCarpeta);
    nombrarControl(m_txtCarpeta, m_lblCarpeta->text(), QStringLiteral("Drive1"));
    connect(m_txtCarpeta, &QLineEdit::returnPressed, this, [this] { elegirCarpeta(m_txtCarpeta->text()); });
    // What "Aceptar" would import follows the folder as it is typed.
    connect(m_txtCarpeta, &QLineEdit::textEdited, this, [this] { actualizarLista(); });

    m_carpetas = new QFileSystemModel(this);
    m_carpetas->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_carpetas->setReadOnly(true);
    m_dirDirectorio = new QTreeView(m_fraArchivo);
    m_dirDirectorio->setObjectName(QStringLiteral("DirDirectorio"));
    m_dirDirectorio->setModel(m_carpetas);
    for (int c = 1; c < m_carpetas->columnCount(); ++c)
        m_dirDirectorio->setColumnHidden(c, true);
    m_dirDirectorio->setHeaderHidden(true);
    m_dirDirectorio->setSelectionMode(QAbstractItemView::SingleSelection);
    nombrarControl(m_dirDirectorio, indicacion->text(), QStringLiteral("DirDirectorio"));
    // The folder follows the user's moves in the tree; the tree's own changes
    // (a folder read again in the background) leave it alone.
    connect(m_dirDirectorio->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &actual) {
            if (!actual.isValid() || !m_dirDirectorio->hasFocus())
                return;
            m_txtCarpeta->setText(QDir::toNativeSeparators(m_carpetas->filePath(actual)));
            actualizarLista();
        });
    // The tree reads folders in the background: once the folders on the way
    // to the chosen one are read, it is shown.
    connect(m_carpetas, &QFileSystemModel::directoryLoaded, this, [this](const QString &leida) {
        if (carpeta().startsWith(leida))
            mostrarCarpetaEnArbol();
    });

    // The file looked for, fixed by the open declaration.
    auto *lblArchivoBuscado = new QLabel(QStringLiteral("Archivo buscado :"), m_fraArchivo);
    m_txtArchivoBuscado = new QLineEdit(m_importacion.nombreArchivo(), m_fraArchivo);
    m_txtArchivoBuscado->setObjectName(QStringLiteral("txtArchivoBuscado"));
    m_txtArchivoBuscado->setReadOnly(true);
    m_txtArchivoBuscado->setBackgroundRole(QPalette::Button);
    {
        QPalette paleta = m_txtArchivoBuscado->palette();
        paleta.setColor(QPalette::Base, paleta.color(QPalette::Button));
        m_txtArchivoBuscado->setPalette(paleta);
    }
    lblArchivoBuscado->setBuddy(m_txtArchivoBuscado);
    nombrarControl(m_txtArchivoBuscado, lblArchivoBuscado->text(), QStringLiteral("txtArchivoBuscado"));

    auto *lblArchivo = new QLabel(QStringLiteral("Archivo de importación :"), m_fraArchivo);
    m_flArchivos = new QListWidget(m_fraArchivo);
    m_flArchivos->setObjectName(QStringLiteral("flArchivos"));
    m_flArchivos->setMaximumHeight(
        m_flArchivos->fontMetrics().height() * 5 / 2 + 2 * m_flArchivos->frameWidth());
    lblArchivo->setBuddy(m_flArchivos);
    nombrarControl(m_flArchivos, lblArchivo->text(), QStringLiteral("flArchivos"));

    m_lblSinArchivo = new QLabel(m_fraArchivo);
    m_lblSinArchivo->setObjectName(QStringLiteral("lblSinArchivo"));
    m_lblSinArchivo->setWordWrap(true);
    m_lblSinArchivo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblSinArchivo->hide();

    auto *carpeta = new QGridLayout;
    carpeta->addWidget(m_lblCarpeta, 0, 0);
    carpeta->addWidget(m_txtCarpeta, 0, 1);
    carpeta->addWidget(lblArchivoBuscado, 1, 0);
    carpeta->addWidget(m_txtArchivoBuscado, 1, 1);
    carpeta->setColumnStretch(1, 1);
    auto *marcoArchivo = new QVBoxLayout(m_fraArchivo);
    marcoArchivo->addWidget(indicacion);
    marcoArchivo->addLayout(carpeta);
    marcoArchivo->addWidget(m_dirDirectorio, 1);
    marcoArchivo->addWidget(lblArchivo);
    marcoArchivo->addWidget(m_flArchivos);
    marcoArchivo->addWidget(m_lblSinArchivo);

    auto *fraResultados = new QGroupBox(QStringLiteral("Resultados de la Importación"), this);
    m_lblTransferidos = new QLabel(fraResultados);
    m_lblTransferidos->setObjectName(QStringLiteral("lblTransferidos"));
    m_lblRechazados = new QLabel(fraResultados);
    m_lblRechazados->setObjectName(QStringLiteral("lblRechazados"));
    m_prgAvance = new QProgressBar(fraResultados);
    m_prgAvance->setObjectName(QStringLiteral("prgAvance"));
    m_prgAvance->setRange(0, 1);
    m_prgAvance->setValue(0);
    m_prgAvance->setAccessibleName(QStringLiteral("Avance de la importación"));
    auto *marcoResultados = new QVBoxLayout(fraResultados);
    marcoResultados->addWidget(m_lblTransferidos);
    marcoResultados->addWidget(m_lblRechazados);
    marcoResultados->addWidget(m_prgAvance);
    reiniciarCuentas();

    m_cmdTransferir = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_cmdTransferir->setObjectName(QStringLiteral("cmdTransferir"));
    m_cmCancelar = new QPushButton(QStringLiteral("&Salir"), this);
    m_cmCancelar->setObjectName(QStringLiteral("cmCancelar"));
    // Enter in the folder field chooses the folder; it never starts an import.
    for (QPushButton *b : { m_cmdTransferir, m_cmCancelar })
        b->setAutoDefault(false);
    nombrarControl(m_cmdTransferir, m_cmdTransferir->text(), QStringLiteral("cmdTransferir"));
    nombrarControl(m_cmCancelar, m_cmCancelar->text(), QStringLiteral("cmCancelar"));
    connect(m_cmdTransferir, &QPushButton::clicked, this, &frmImportaVuelos::cmdTransferir_Click);
    connect(m_cmCancelar, &QPushButton::clicked, this, &frmImportaVuelos::reject);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_cmdTransferir);
    botones->addWidget(m_cmCancelar);
    auto *principal = new QVBoxLayout(this);
    principal->addWidget(m_fraArchivo, 1);
    principal->addWidget(fraResultados);
    principal->addLayout(botones);

    abrirReporte = [this](const QString &archivo, int paginas) {
        AbrePreview(m_ctx, archivo, QStringLiteral("Vprevia"), paginas, 1, paginas, this);
    };
}

frmImportaVuelos::~frmImportaVuelos() = default;

void frmImportaVuelos::cargar()
{
    fijarContextoAyuda(this, kContextoAyuda);
    DimensionarVentana(this, 7800, 7200);
    elegirCarpeta(QDir::homePath());
}

QString frmImportaVuelos::carpeta() const
{
    return QDir::fromNativeSeparators(m_txtCarpeta->text().trimmed());
}

void frmImportaVuelos::elegirCarpeta(const QString &ruta)
{
    const QString limpia = QDir::cleanPath(QDir::fromNativeSeparators(ruta.trimmed()));
    m_txtCarpeta->setText(QDir::toNativeSeparators(limpia));
    // A folder outside the tree becomes its top, as choosing another drive
    // did; one inside it is chosen in it.
    if (QFileInfo(limpia).isDir() && !dentroDe(limpia, m_raiz)) {
        m_raiz = limpia;
        m_dirDirectorio->setRootIndex(m_carpetas->setRootPath(limpia));
    }
    m_carpetaPorMostrar = true;
    mostrarCarpetaEnArbol();
    actualizarLista();
}

void frmImportaVuelos::mostrarCarpetaEnArbol()
{
    const QString elegida = carpeta();
    if (elegida == m_raiz) {
        m_dirDirectorio->setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex indice = QFileInfo(elegida).isDir() ? m_carpetas->index(elegida) : QModelIndex();
    if (!indice.isValid())
        return;
    if (indice != m_dirDirectorio->currentIndex())
        m_dirDirectorio->setCurrentIndex(indice);
    // Brought into view once, when the tree can show it; later readings of
    // the folders leave the view where the user put it.
    if (m_carpetaPorMostrar && m_dirDirectorio->isVisible()) {
        m_dirDirectorio->scrollTo(indice);
        m_carpetaPorMostrar
            = !m_dirDirectorio->viewport()->rect().intersects(m_dirDirectorio->visualRect(indice));
    }
}

void frmImportaVuelos::showEvent(QShowEvent *evento)
{
    QDialog::showEvent(evento);
    QTimer::singleShot(0, this, [this] { mostrarCarpetaEnArbol(); });
}

void frmImportaVuelos::actualizarLista()
{
    const QString elegida = carpeta();
    const bool existe = QFileInfo(elegida).isDir();
    m_flArchivos->clear();
    if (existe)
        m_flArchivos->addItems(m_importacion.buscarArchivos(elegida));
    const bool hayArchivo = m_flArchivos->count() > 0;
    if (hayArchivo)
        m_flArchivos->setCurrentRow(0);

    // The counts and the bar are of the last run on the folder listed.
    if (elegida != m_carpetaListada) {
        m_carpetaListada = elegida;
        reiniciarCuentas();
    }
    QString aviso;
    if (elegida.isEmpty() || !existe)
        aviso = QStringLiteral("La carpeta elegida no existe.");
    else if (!hayArchivo)
        aviso = QStringLiteral("La carpeta elegida no tiene el archivo %1.").arg(m_importacion.nombreArchivo());
    rotular(m_lblSinArchivo, aviso, QStringLiteral("lblSinArchivo"));
    m_lblSinArchivo->setVisible(!aviso.isEmpty());
    m_cmdTransferir->setEnabled(hayArchivo && !m_importando);
}

void frmImportaVuelos::mostrarCuentas(qint64 transferidos, qint64 rechazados)
{
    rotular(m_lblTransferidos, QString::number(transferidos) + QStringLiteral(" Transferidos"),
        QStringLiteral("lblTransferidos"));
    rotular(m_lblRechazados, QString::number(rechazados) + QStringLiteral(" Rechazados"),
        QStringLiteral("lblRechazados"));
}

void frmImportaVuelos::reiniciarCuentas()
{
    rotular(m_lblTransferidos, kTransferidosInicial, QStringLiteral("lblTransferidos"));
    rotular(m_lblRechazados, kRechazadosInicial, QStringLiteral("lblRechazados"));
    m_prgAvance->setRange(0, 1);
    m_prgAvance->setValue(0);
}

void frmImportaVuelos::avanzar(const AvanceImportacion &avance)
{
    if (avance.leidas < avance.total && m_ultimoRefresco.isValid()
        && m_ultimoRefresco.elapsed() < kRefrescoMs)
        return;
    mostrarCuentas(avance.transferidos, avance.rechazados);
    // The bar counts in thousandths, so that any number of lines fits.
    m_prgAvance->setRange(0, 1000);
    m_prgAvance->setValue(avance.total > 0 ? int(avance.leidas * 1000 / avance.total) : 1000);
    QCoreApplication::processEvents();
    m_ultimoRefresco.restart();
}

void frmImportaVuelos::cmdTransferir_Click()
{
    m_cmCancelar->setEnabled(false);
    if (ImportarVuelos() && m_ctx.mensajes) {
        m_ctx.mensajes->mostrar(
            windowTitle(), QStringLiteral("La importación terminó satisfactoriamente."), Icono::Informacion);
    }
    m_cmCancelar->setEnabled(true);
}

bool frmImportaVuelos::ImportarVuelos()
{
    using Estado = ResultadoImportacion::Estado;
    m_cmdTransferir->setEnabled(false);
    m_fraArchivo->setEnabled(false);
    m_importando = true;
    ResultadoImportacion r;
    {
        CursorEspera espera;
        m_ultimoRefresco.invalidate();
        r = m_importacion.ImportarVuelos(
            m_importacion.rutaEnCarpeta(carpeta()), [this](const AvanceImportacion &a) { avanzar(a); });
    }
    m_importando = false;
    m_fraArchivo->setEnabled(true);
    m_cmdTransferir->setEnabled(true);
    m_carpetaListada = carpeta();

    ServicioMensajes *mensajes = m_ctx.mensajes;
    switch (r.estado) {
    case Estado::SinArchivo:
        return false;
    case Estado::CamposIncorrectos:
        if (mensajes)
            mensajes->mostrar(windowTitle(),
                QStringLiteral("El archivo de importación no tiene el número de campos correctos"),
                Icono::Critico);
        reiniciarCuentas();
        return false;
    case Estado::SinSeparadorFinal:
        if (mensajes)
            mensajes->mostrar(QStringLiteral("Error en archivo de asegurados a cargar"),
                QStringLiteral("Cada línea del archivo debe terminar con el separador |"), Icono::Critico);
        reiniciarCuentas();
        return false;
    case Estado::Interrumpida:
        reiniciarCuentas();
        if (mensajes)
            mensajes->mostrar(windowTitle(),
                textoError(r.error) + u'\n'
                    + QStringLiteral("La importación no se completó: no se transfirió ningún registro."),
                Icono::Critico);
        return false;
    case Estado::Terminada:
        break;
    }
    mostrarCuentas(r.transferidos, r.rechazados);
    m_prgAvance->setRange(0, 1000);
    m_prgAvance->setValue(1000);
    if (r.rechazados == 0)
        return true;
    ofrecerReporte();
    return false;
}

void frmImportaVuelos::ofrecerReporte()
{
    const bool ver = m_ctx.mensajes
        && m_ctx.mensajes->mostrar(QStringLiteral("Confirmar"),
               QStringLiteral("¡Algunos registros han sido rechazados!\n"
                              "Verifique Reporte de Errores. \n"
                              "¿Desea Visualizar Reporte de errores?"),
               Icono::Pregunta, Botones::SiNo, Respuesta::No)
            == Respuesta::Si;
    ReporteRegistrado reporte;
    {
        CursorEspera espera;
        reporte
            = registrarReporteErrores(m_ctx, m_importacion.periodoMostrado(), m_importacion.rutaErrores());
    }
    if (!reporte.hecho()) {
        if (m_ctx.mensajes)
            m_ctx.mensajes->mostrar(windowTitle(), textoError(reporte.error), Icono::Critico);
        return;
    }
    // Every page of the report, so that no refused line is left out of the
    // preview or of what is printed from it.
    if (ver && abrirReporte)
        abrirReporte(reporte.archivo, reporte.ultimaHoja + 1);
}

void frmImportaVuelos::reject()
{
    // The file is being read: the window stays until the import ends.
    if (m_importando)
        return;
    QDialog::reject();
}

void frmImportaVuelos::closeEvent(QCloseEvent *evento)
{
    if (m_importando) {
        evento->ignore();
        return;
    }
    QDialog::closeEvent(evento);
}

bool frmImportaVuelos::event(QEvent *evento)
{
    // The file may have been put in the folder while the window was open.
    if (evento->type() == QEvent::WindowActivate && !m_importando)
        actualizarLista();
    return QDialog::event(evento);
}

void registrarVentanaImportar(RegistroVentanas &registro, Contexto &contexto)
{
    registro.registrar(QStringLiteral("ImportarVuelos"),
        [&contexto](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
            auto ventana = std::make_unique<frmImportaVuelos>(contexto, p, padre);
            ventana->cargar();
            return ventana;
        });
}

} // namespace kv
