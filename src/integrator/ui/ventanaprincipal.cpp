#include "ventanaprincipal.h"

#include "ayudaqadelia.h"
#include "dialogocontribuyente.h"
#include "dialogoenvio.h"
#include "integrator/copiasseguridad.h"
#include "integrator/enviodeclaracion.h"
#include "reports/ui/frmpreview.h"
#include "reports/ui/listaspool.h"
#include "store/accesodatos.h"
#include "integrator/instalacion.h"
#include "integrator/lanzador.h"
#include "integrator/registrocontribuyentes.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/reloj.h"
#include "store/ui/accesible.h"
#include "store/ui/listas.h"
#include "store/ui/llamadainstancia.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

namespace {

const QString kModulo = QString::fromLatin1(Instalacion::kModulo);

enum ColumnaLista { ColRuc, ColNombre, ColUsuario, ColFecha };

// Dates are stored as ISO text; the list shows them as the user writes them.
class ModeloContribuyentes : public QSqlQueryModel
{
public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &indice, int rol) const override
    {
        const QVariant valor = QSqlQueryModel::data(indice, rol);
        if (rol == Qt::DisplayRole && indice.column() == ColFecha && fechaGuardada(valor).isValid())
            return fechaMostrada(valor);
        return valor;
    }
};

} // namespace

VentanaPrincipal::VentanaPrincipal(Contexto &contexto, Lanzador &lanzador, QWidget *parent)
    : QMainWindow(parent)
    , m_ctx(contexto)
    , m_lanzador(lanzador)
    , m_registro(std::make_unique<RegistroContribuyentes>(contexto))
    , m_modelo(new ModeloContribuyentes(this))
    , m_grilla(new QTableView)
    , m_areas(new QTabWidget)
{
    setWindowTitle(titulo());
    setObjectName(QStringLiteral("frmQadelia"));

    m_grilla->setObjectName(QStringLiteral("grdContribuyentes"));
    m_grilla->setModel(m_modelo);
    m_grilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grilla->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grilla->verticalHeader()->hide();
    m_grilla->horizontalHeader()->setStretchLastSection(false);
    m_grilla->setAlternatingRowColors(true);
    connect(m_grilla, &QTableView::doubleClicked, this, &VentanaPrincipal::modificarContribuyente);

    crearMenus();

    auto *botonAgregar = new QPushButton(QStringLiteral("&Agregar..."));
    auto *botonModificar = new QPushButton(QStringLiteral("&Modificar..."));
    auto *botonEliminar = new QPushButton(QStringLiteral("&Eliminar"));
    connect(botonAgregar, &QPushButton::clicked, this, &VentanaPrincipal::agregarContribuyente);
    connect(botonModificar, &QPushButton::clicked, this, &VentanaPrincipal::modificarContribuyente);
    connect(botonEliminar, &QPushButton::clicked, this, &VentanaPrincipal::eliminarContribuyente);
    auto *columnaBotones = new QVBoxLayout;
    columnaBotones->addWidget(botonAgregar);
    columnaBotones->addWidget(botonModificar);
    columnaBotones->addWidget(botonEliminar);
    columnaBotones->addStretch();

    auto *pagina = new QWidget;
    auto *filaRegistro = new QHBoxLayout(pagina);
    filaRegistro->addWidget(m_grilla, 1);
    filaRegistro->addLayout(columnaBotones);
    m_areas->addTab(pagina, QStringLiteral("Contribuyentes"));
    m_reportes = new ListaSpool(m_ctx);
    m_reportes->setObjectName(QStringLiteral("lstReportes"));
    m_areas->addTab(m_reportes, QStringLiteral("Reportes"));

    // The module launcher: a large button with the module's name on it.
    m_cmdModulo = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                  QStringLiteral("Formulario &0517 - Zentorio"));
    m_cmdModulo->setObjectName(QStringLiteral("cmdModulo"));
    m_cmdModulo->setToolTip(QStringLiteral("Inicia el módulo de declaración del formulario 0517"));
    m_cmdModulo->setIconSize(QSize(32, 32));
    m_cmdModulo->setMinimumHeight(m_cmdModulo->sizeHint().height() + 16);
    {
        QFont fuente = m_cmdModulo->font();
        fuente.setBold(true);
        m_cmdModulo->setFont(fuente);
    }
    nombrarControl(m_cmdModulo, m_cmdModulo->text(), QStringLiteral("cmdModulo"));
    connect(m_cmdModulo, &QPushButton::clicked, this, &VentanaPrincipal::iniciarModulo);
    auto *marcoModulos = new QGroupBox(QStringLiteral("Módulos"));
    auto *filaModulos = new QHBoxLayout(marcoModulos);
    filaModulos->addWidget(m_cmdModulo);
    filaModulos->addStretch();

    auto *central = new QWidget;
    auto *columna = new QVBoxLayout(central);
    columna->addWidget(marcoModulos);
    columna->addWidget(m_areas, 1);
    setCentralWidget(central);

    statusBar()->addWidget(new QLabel(
        QStringLiteral("Usuario: %1    Sistema: %2").arg(m_ctx.sUsuario.trimmed(), m_ctx.sRutaSistema)));
    m_estadoModulo = new QLabel;
    statusBar()->addPermanentWidget(m_estadoModulo);
    connect(&m_lanzador, &Lanzador::terminado, this, [this] { actualizarEstado(); });

    resize(860, 540);
    recargar();
    actualizarEstado();
}

VentanaPrincipal::~VentanaPrincipal() = default;

void VentanaPrincipal::crearMenus()
{
    QMenu *archivo = menuBar()->addMenu(QStringLiteral("&Archivo"));
    m_restaurar = archivo->addAction(QStringLiteral("&Restaurar copia de seguridad..."), this,
                                     &VentanaPrincipal::elegirCopia);
    if (m_ctx.ubicacion.motor != Motor::SQLite) {
        // A server's database is backed up by the office's administrator.
        m_restaurar->setEnabled(false);
        m_restaurar->setToolTip(QStringLiteral("La base de datos está en un servidor PostgreSQL: sus copias las "
                                               "hace el administrador del servidor."));
    }
    archivo->addSeparator();
    QAction *salir = archivo->addAction(QStringLiteral("&Salir"), this, &QWidget::close);
    salir->setShortcut(QKeySequence::Quit);

    QMenu *contribuyentes = menuBar()->addMenu(QStringLiteral("&Contribuyentes"));
    m_agregar = contribuyentes->addAction(
        QStringLiteral("&Agregar..."), this, &VentanaPrincipal::agregarContribuyente);
    m_agregar->setShortcut(QKeySequence::New);
    m_modificar = contribuyentes->addAction(
        QStringLiteral("&Modificar..."), this, &VentanaPrincipal::modificarContribuyente);
    m_eliminar = contribuyentes->addAction(
        QStringLiteral("&Eliminar"), this, &VentanaPrincipal::eliminarContribuyente);
    m_eliminar->setShortcut(QKeySequence::Delete);
    contribuyentes->addSeparator();
    contribuyentes->addAction(QStringLiteral("A&ctualizar"), this, &VentanaPrincipal::recargar)
        ->setShortcut(QKeySequence::Refresh);

    QMenu *modulos = menuBar()->addMenu(QStringLiteral("&Módulos"));
    m_modulo = modulos->addAction(
        QStringLiteral("Formulario &0517 - Zentorio"), this, &VentanaPrincipal::iniciarModulo);

    QMenu *declaraciones = menuBar()->addMenu(QStringLiteral("&Declaraciones"));
    m_enviar = declaraciones->addAction(
        QStringLiteral("&Enviar declaración..."), this, &VentanaPrincipal::enviarDeclaracion);

    m_menuReportes = menuBar()->addMenu(QStringLiteral("&Reportes"));
    m_menuReportes->menuAction()->setVisible(false);
    m_menuReportes->installEventFilter(this);

    QMenu *ayuda = menuBar()->addMenu(QStringLiteral("Ay&uda"));
    m_ayuda = ayuda->addAction(QStringLiteral("&Contenido"), this, &VentanaPrincipal::mostrarAyuda);
    m_ayuda->setShortcut(QKeySequence::HelpContents);
}

void VentanaPrincipal::mostrarAyuda()
{
    if (!m_ventanaAyuda) {
        m_ventanaAyuda = new AyudaQadelia(m_ctx, ArchivoIni::rutaPredeterminada(), this);
        m_ventanaAyuda->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_ventanaAyuda->show();
    m_ventanaAyuda->raise();
    m_ventanaAyuda->activateWindow();
}

AyudaQadelia *VentanaPrincipal::ventanaAyuda() const
{
    return m_ventanaAyuda;
}

bool VentanaPrincipal::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == m_menuReportes
        && (evento->type() == QEvent::ActionAdded || evento->type() == QEvent::ActionRemoved)) {
        // Counted after the change has happened.
        QMetaObject::invokeMethod(
            this, [this] { m_menuReportes->menuAction()->setVisible(!m_menuReportes->actions().isEmpty()); },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(objeto, evento);
}

int VentanaPrincipal::agregarArea(QWidget *area, const QString &titulo)
{
    return m_areas->addTab(area, titulo);
}

QString VentanaPrincipal::rucSeleccionado() const
{
    const QModelIndex actual = m_grilla->currentIndex();
    if (!actual.isValid())
        return {};
    return m_modelo->index(actual.row(), ColRuc).data().toString();
}

int VentanaPrincipal::filasContribuyentes() const
{
    return m_modelo->rowCount();
}

void VentanaPrincipal::recargar()
{
    const QString ruc = rucSeleccionado();
    // The model walks back and forth over its rows: not a forward-only query.
    cargarModelo(m_modelo, m_ctx.db(), m_registro->consultaLista());
    const QStringList cabeceras = { QStringLiteral("RUC"), QStringLiteral("Razón social"),
        QStringLiteral("Usuario"), QStringLiteral("Fecha de registro") };
    for (int i = 0; i < cabeceras.size(); ++i)
        m_modelo->setHeaderData(i, Qt::Horizontal, cabeceras.at(i));
    m_grilla->resizeColumnsToContents();
    // Wide enough for an eleven-digit RUC and a user name even when empty.
    const QFontMetrics medidas = m_grilla->fontMetrics();
    for (const auto &[columna, muestra] :
        { std::pair { ColRuc, "20100047218" }, std::pair { ColUsuario, "USUARIO0000" } }) {
        m_grilla->setColumnWidth(columna,
            std::max(m_grilla->columnWidth(columna),
                medidas.horizontalAdvance(QString::fromLatin1(muestra)) + 16));
    }
    m_grilla->horizontalHeader()->setSectionResizeMode(ColNombre, QHeaderView::Stretch);
    seleccionar(ruc);
}

void VentanaPrincipal::seleccionar(const QString &ruc)
{
    for (int fila = 0; fila < m_modelo->rowCount(); ++fila) {
        if (m_modelo->index(fila, ColRuc).data().toString() == ruc) {
            m_grilla->setCurrentIndex(m_modelo->index(fila, ColRuc));
            return;
        }
    }
    if (m_modelo->rowCount() > 0)
        m_grilla->setCurrentIndex(m_modelo->index(0, ColRuc));
}

void VentanaPrincipal::agregarContribuyente()
{
    DialogoContribuyente dialogo(*m_registro, QString(), QString(), this);
    if (dialogo.exec() != QDialog::Accepted)
        return;
    recargar();
    seleccionar(dialogo.txtRuc()->text().trimmed());
}

void VentanaPrincipal::modificarContribuyente()
{
    const QString ruc = rucSeleccionado();
    if (ruc.isEmpty()) {
        m_ctx.mensajes->mostrar(RegistroContribuyentes::titulo(),
            QStringLiteral("Seleccione un contribuyente."), Icono::Informacion);
        return;
    }
    const QString nombre = m_modelo->index(m_grilla->currentIndex().row(), ColNombre).data().toString();
    DialogoContribuyente dialogo(*m_registro, ruc, nombre, this);
    if (dialogo.exec() == QDialog::Accepted)
        recargar();
}

void VentanaPrincipal::eliminarContribuyente()
{
    const QString ruc = rucSeleccionado();
    if (ruc.isEmpty()) {
        m_ctx.mensajes->mostrar(RegistroContribuyentes::titulo(),
            QStringLiteral("Seleccione un contribuyente."), Icono::Informacion);
        return;
    }
    if (m_registro->eliminar(ruc))
        recargar();
}

void VentanaPrincipal::iniciarModulo()
{
    if (m_lanzador.enEjecucion(kModulo)) {
        m_ctx.mensajes->mostrar(
            titulo(), QStringLiteral("El formulario 0517 ya se encuentra en ejecución."), Icono::Informacion);
        // Then the module's window comes to the front, where the user can use it.
        LlamadaInstancia::llamar(kModulo);
        return;
    }
    // The module checks for this window when it starts: it must stay shown.
    m_lanzador.iniciar(kModulo, m_ctx.sRutaSistema);
    actualizarEstado();
}

void VentanaPrincipal::enviarDeclaracion()
{
    AccesoDatos datos(m_ctx);
    EnvioDeclaracion envio(m_ctx, datos);
    DialogoEnvio dialogo(m_ctx, envio.consultaDeclaraciones(), this);
    if (dialogo.exec() != QDialog::Accepted || dialogo.ruc().isEmpty())
        return;
    // Sent before: the user says whether this submission rectifies it.
    bool rectificatoria = false;
    const EnvioDeclaracion::EnvioPrevio previo = envio.ultimoEnvio(dialogo.ruc(), dialogo.periodo());
    if (previo.hay()) {
        const QString periodo = dialogo.periodo().mid(4, 2) + u'/' + dialogo.periodo().left(4);
        const Respuesta respuesta = m_ctx.mensajes->mostrar(
            titulo(),
            QStringLiteral("La declaración del RUC %1, periodo %2, ya fue enviada el %3 con el correlativo %4.\n"
                           "¿Es una declaración rectificatoria?\n\n"
                           "Sí: se envía como rectificatoria y así queda grabada.\n"
                           "No: se envía tal como fue grabada.")
                .arg(dialogo.ruc(), periodo, formato(previo.fecha, u"dd/mm/yyyy"), previo.correl),
            Icono::Pregunta, Botones::SiNoCancelar, Respuesta::Cancelar);
        if (respuesta == Respuesta::Cancelar)
            return;
        rectificatoria = respuesta == Respuesta::Si;
    }
    const EnvioDeclaracion::Resultado resultado = envio.enviar(dialogo.ruc(), dialogo.periodo(), rectificatoria);
    if (!resultado.enviada) {
        m_ctx.mensajes->mostrar(titulo(), resultado.mensaje, Icono::Critico);
        return;
    }
    m_ctx.mensajes->mostrar(titulo(),
        QStringLiteral("La declaración fue enviada con el correlativo %1 y el número de control %2.")
            .arg(resultado.correl, resultado.control),
        Icono::Informacion);

    // The submission summary is written by its own program; the newest
    // summary of this taxpayer is then the one just made.
    if (m_lanzador.ejecutar(QStringLiteral("kvr517"), m_ctx.sRutaSistema, false,
            Lanzador::kEsperaPredeterminadaMs, { resultado.lineaComandos })) {
        QSqlQuery q = datos.consultar(QStringLiteral("SELECT Archivo FROM SPOOL WHERE CodRep='ZEN002' AND doc_id_d=? "
                                                     "ORDER BY Archivo DESC LIMIT 1"),
            { dialogo.ruc() });
        if (q.next())
            AbrePreview(m_ctx, q.value(0).toString(), QStringLiteral("Vprevia"), 1, 1, 1, this);
    }
    m_reportes->actualizar();
}

void VentanaPrincipal::actualizarEstado()
{
    m_estadoModulo->setText(
        m_lanzador.enEjecucion(kModulo) ? QStringLiteral("Formulario 0517 en ejecución") : QString());
}

void VentanaPrincipal::elegirCopia()
{
    const CopiasSeguridad copias(m_ctx.ubicacion.ruta, m_ctx.sRutaSistema);
    const QStringList nombres = copias.copias();
    if (nombres.isEmpty()) {
        m_ctx.mensajes->mostrar(titulo(),
                                QStringLiteral("No hay copias de seguridad en %1.").arg(copias.carpeta()),
                                Icono::Informacion);
        return;
    }
    bool elegida = false;
    const QString nombre = QInputDialog::getItem(this, QStringLiteral("Restaurar copia de seguridad"),
                                                 QStringLiteral("Copias de la base de datos, la más reciente primero:"),
                                                 nombres, 0, false, &elegida);
    if (elegida && !nombre.isEmpty())
        restaurarCopia(nombre);
}

bool VentanaPrincipal::restaurarCopia(const QString &nombre)
{
    if (m_lanzador.hayEnEjecucion()) {
        m_ctx.mensajes->mostrar(titulo(),
                                QStringLiteral("Cierre primero el formulario 0517 antes de restaurar una copia."),
                                Icono::Informacion);
        return false;
    }
    if (m_ctx.mensajes->mostrar(titulo(),
                                QStringLiteral("La base de datos será reemplazada por la copia %1. La base actual se "
                                               "guardará antes como una copia más.\n¿Desea continuar?")
                                    .arg(nombre),
                                Icono::Pregunta, Botones::SiNo, Respuesta::No)
        != Respuesta::Si)
        return false;
    CopiasSeguridad copias(m_ctx.ubicacion.ruta, m_ctx.sRutaSistema);
    QString error;
    const QDateTime ahora = m_ctx.reloj ? m_ctx.reloj->ahora() : QDateTime::currentDateTime();
    if (!copias.restaurar(nombre, ahora, &error)) {
        m_ctx.mensajes->mostrar(titulo(), QStringLiteral("No se pudo restaurar la copia %1:\n%2").arg(nombre, error),
                                Icono::Critico);
        return false;
    }
    recargar();
    m_ctx.mensajes->mostrar(titulo(), QStringLiteral("La copia %1 fue restaurada.").arg(nombre), Icono::Informacion);
    return true;
}

void VentanaPrincipal::closeEvent(QCloseEvent *evento)
{
    // The module was started from here and works on the host's database:
    // the host goes after it, never before.
    if (m_lanzador.hayEnEjecucion()) {
        m_ctx.mensajes->mostrar(titulo(), QStringLiteral("Cierre primero el formulario 0517 antes de salir."),
            Icono::Informacion);
        evento->ignore();
        return;
    }
    evento->accept();
}

} // namespace kv
