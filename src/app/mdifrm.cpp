#include "mdifrm.h"

#include "arranque.h"
#include "ayuda.h"
#include "frmacercade.h"
#include "frmconsultas.h"
#include "store/contexto.h"
#include "store/ui/accesible.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/cursorespera.h"
#include "store/ui/listas.h"
#include "store/ui/ventanas.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace kv {

namespace {

// The picture area at the top of the free area: the module's name on the
// host's colours.
class AreaImagen : public QWidget
{
public:
    explicit AreaImagen(QWidget *padre) : QWidget(padre) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect();
        QLinearGradient fondo(r.topLeft(), r.bottomLeft());
        fondo.setColorAt(0.0, QColor(0x1f, 0x3a, 0x68));
        fondo.setColorAt(1.0, QColor(0x4a, 0x6f, 0xa5));
        p.fillRect(r, fondo);
        p.setPen(Qt::white);
        QFont grande = font();
        grande.setPointSizeF(grande.pointSizeF() * 2.2);
        grande.setBold(true);
        p.setFont(grande);
        p.drawText(r.adjusted(16, 8, -16, -r.height() / 2), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("Formulario 0517"));
        QFont normal = font();
        normal.setPointSizeF(normal.pointSizeF() * 1.2);
        p.setFont(normal);
        p.drawText(r.adjusted(16, r.height() / 2 + 4, -16, -8), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Zentorio: declaración mensual por pasajero en vuelos internacionales"));
        if (hasFocus()) {
            p.setPen(QPen(Qt::white, 1, Qt::DotLine));
            p.drawRect(r.adjusted(2, 2, -3, -3));
        }
    }
};

} // namespace

MDIFrm::MDIFrm(Contexto &contexto, QWidget *padre) : QMainWindow(padre), m_ctx(contexto)
{
    setObjectName(QStringLiteral("MDIFrm"));
    setWindowTitle(kTitulo);
    fijarContextoAyuda(this, kContextoAyuda);

    auto *fondo = new QWidget(this);
    fondo->setObjectName(QStringLiteral("areaLibre"));
    fondo->setAutoFillBackground(true);
    fondo->setBackgroundRole(QPalette::Dark);
    fondo->setMouseTracking(true);
    fondo->installEventFilter(this);
    m_picture1 = new AreaImagen(fondo);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setMinimumHeight(twipsAPixeles(this, 1200));
    m_picture1->setFocusPolicy(Qt::StrongFocus);
    m_picture1->setMouseTracking(true);
    m_picture1->installEventFilter(this);
    fijarContextoAyuda(m_picture1, kContextoAyuda);
    nombrarControl(m_picture1, QStringLiteral("Formulario 0517"), QStringLiteral("Picture1"));
    auto *columna = new QVBoxLayout(fondo);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->addWidget(m_picture1);
    columna->addStretch(1);
    setCentralWidget(fondo);

    m_barra = new BarradeEstadoQDL(this);
    m_barra->setObjectName(QStringLiteral("BarradeEstadoQDL1"));
    statusBar()->setSizeGripEnabled(false);
    // A permanent widget: the status tips Qt shows as the pointer passes
    // over a menu or the toolbar never hide what the user is working on.
    statusBar()->addPermanentWidget(m_barra, 1);

    m_ayuda = new AyudaModulo(m_ctx.mensajes, this);
    crearMenus();
    crearToolbar();

    // A fixed frame without minimize and maximize boxes; every other part
    // of the frame stays.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                    | Qt::WindowCloseButtonHint)
                   & ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    DimensionarVentana(this, 7320, 9555);
    setFixedSize(size());
    m_picture1->setFocus();
}

MDIFrm::~MDIFrm() = default;

QAction *MDIFrm::accion(const QString &nombre, const QString &texto)
{
    auto *a = new QAction(texto, this);
    a->setObjectName(nombre);
    return a;
}

void MDIFrm::crearMenus()
{
    auto agregar = [this](QMenu *menu, const QString &nombre, const QString &texto, auto &&accionar) {
        QAction *a = accion(nombre, texto);
        connect(a, &QAction::triggered, this, accionar);
        menu->addAction(a);
        return a;
    };

    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    nombrarControl(menuBar(), QStringLiteral("Menú principal"), QStringLiteral("MenuBar"));
    QMenu *declaraciones = menuBar()->addMenu(QStringLiteral("&Declaraciones"));
    declaraciones->setObjectName(QStringLiteral("mnuDeclaraciones"));
    agregar(declaraciones, QStringLiteral("mnuNueva"), QStringLiteral("&Nueva"),
            [this] { comando(QStringLiteral("Formulario"), QStringLiteral("NEW"), false); });
    agregar(declaraciones, QStringLiteral("mnuModificar"), QStringLiteral("&Modificar"),
            [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("MOD"), false); });
    agregar(declaraciones, QStringLiteral("mnuEliminar"), QStringLiteral("&Eliminar"),
            [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("DEL"), false); });
    declaraciones->addSeparator();
    agregar(declaraciones, QStringLiteral("mnuImprimir"), QStringLiteral("&Imprimir"),
            [this] { comando(QStringLiteral("ListaImprimirFormularios"), QStringLiteral("IMP"), false); });
    declaraciones->addSeparator();
    agregar(declaraciones, QStringLiteral("mnuSalir"), QStringLiteral("&Salir"), [this] { salirMenu(); });

    QMenu *enviadas = menuBar()->addMenu(QStringLiteral("Declaraciones &Enviadas"));
    enviadas->setObjectName(QStringLiteral("mnuEnviadas"));
    agregar(enviadas, QStringLiteral("mnuRegistrar"), QStringLiteral("&Registrar número de orden"),
            [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("REG"), true); });
    agregar(enviadas, QStringLiteral("mnuEliminarE"), QStringLiteral("&Eliminar"),
            [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("DEL"), true); });
    enviadas->addSeparator();
    agregar(enviadas, QStringLiteral("mnuImprimirE"), QStringLiteral("&Imprimir"),
            [this] { comando(QStringLiteral("ListaImprimirFormularios"), QStringLiteral("IMP"), true); });

    QMenu *consultas = menuBar()->addMenu(QStringLiteral("&Consultas"));
    consultas->setObjectName(QStringLiteral("mnuConsultas"));
    agregar(consultas, QStringLiteral("mnuBancos"), QStringLiteral("&Bancos"), [this] { consultarBancos(); });

    QMenu *ayuda = menuBar()->addMenu(QStringLiteral("&Ayuda"));
    ayuda->setObjectName(QStringLiteral("mnuAyuda"));
    agregar(ayuda, QStringLiteral("mnuContenido"), QStringLiteral("&Contenido de la Ayuda"), [this] { MostrarHelp(0); });
    ayuda->addSeparator();
    agregar(ayuda, QStringLiteral("mnuAcerca"), QStringLiteral("&Acerca de ..."), [this] { acercaDe(); });

    // The items take their names from their texts; each menu is named too.
    for (QMenu *menu : {declaraciones, enviadas, consultas, ayuda})
        nombrarControl(menu, menu->title(), menu->objectName());
}

void MDIFrm::crearToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolbar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    QStyle *estilo = style();
    auto boton = [this](int posicion, QIcon icono, const QString &texto, auto &&accionar) {
        QAction *a = accion(QStringLiteral("Toolbar1_%1").arg(posicion), texto);
        a->setIcon(icono);
        a->setToolTip(texto);
        connect(a, &QAction::triggered, this, accionar);
        m_toolbar->addAction(a);
        nombrarControl(m_toolbar->widgetForAction(a), texto, QStringLiteral("Toolbar1(%1)").arg(posicion));
    };
    auto hueco = [this](int posicion, QAction *a) { a->setObjectName(QStringLiteral("Toolbar1_%1").arg(posicion)); };

    boton(1, estilo->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Nueva"),
          [this] { comando(QStringLiteral("Formulario"), QStringLiteral("NEW"), false); });
    boton(2, estilo->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Modifcar"),
          [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("MOD"), false); });
    boton(3, estilo->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("Eliminar"),
          [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("DEL"), false); });
    boton(4, QIcon::fromTheme(QStringLiteral("document-print"), estilo->standardIcon(QStyle::SP_FileDialogContentsView)),
          QStringLiteral("Imprimir"),
          [this] { comando(QStringLiteral("ListaImprimirFormularios"), QStringLiteral("IMP"), false); });
    boton(5, estilo->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Salir"), [this] { salirToolbar(); });
    hueco(6, m_toolbar->addSeparator());
    boton(7, estilo->standardIcon(QStyle::SP_FileDialogInfoView), QStringLiteral("Numero de orden"),
          [this] { comando(QStringLiteral("ListaFormularios"), QStringLiteral("REG"), true); });
    hueco(8, m_toolbar->addSeparator());
    // Position 9 keeps the help button at the far end of the bar.
    auto *relleno = new QWidget(m_toolbar);
    relleno->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    hueco(9, m_toolbar->addWidget(relleno));
    boton(10, estilo->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Ayuda"), [this] { MostrarHelp(0); });
}

bool MDIFrm::cargar(Arranque &arranque)
{
    UbicarVentana(this, 0, -10, 7320, 9555);
    setFixedSize(size());
    show();
    arranque.LeerConfiguracion();
    if (!arranque.AbrirBaseDatos())
        return false;
    m_ctx.sFormulario = QStringLiteral("0517");
    m_ayuda->fijarArchivo(arranque.rutaAyuda());
    iniciarBarraEstado();
    return true;
}

void MDIFrm::iniciarBarraEstado()
{
    m_barra->setNumdoc(QString());
    m_barra->setRazonsocial(QString());
    m_barra->setPeriodo_ejercicio(QString());
    m_barra->setFormulario(QStringLiteral("0517"));
    m_barra->setEsruc(1);
}

void MDIFrm::LimpiarBarraEstado()
{
    m_barra->setNumdoc(QString());
    m_barra->setRazonsocial(QString());
    m_barra->setFormulario(m_ctx.sFormulario);
    m_barra->setPeriodo_ejercicio(QString());
}

void MDIFrm::MostrarHelp(int contexto) { m_ayuda->mostrar(contexto); }

void MDIFrm::CerrarVentanas()
{
    const auto hijas = findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly);
    for (QDialog *hija : hijas) {
        if (hija->isVisible() && hija != m_ayuda->ventana())
            hija->close();
    }
}

void MDIFrm::comando(const QString &ventana, const QString &accion, bool historico)
{
    LimpiarBarraEstado();
    if (m_ctx.ventanas)
        m_ctx.ventanas->AbrirVentana(ventana, accion, historico, QString(), 0, this);
    // The windows empty the bar as they close; the main window shows the
    // form number again, as it does at start-up.
    LimpiarBarraEstado();
}

void MDIFrm::consultarBancos()
{
    CerrarVentanas();
    std::unique_ptr<FrmConsultas> consulta;
    {
        CursorEspera espera;
        consulta = std::make_unique<FrmConsultas>(m_ctx, this);
    }
    consulta->exec();
}

void MDIFrm::acercaDe()
{
    frmAcercade acerca(this);
    acerca.exec();
}

void MDIFrm::salirMenu() { close(); }

void MDIFrm::salirToolbar()
{
    // At once: the database closes and the run ends without unloading the
    // windows first.
    BaseDatos::cerrar(m_ctx.conexion);
    m_terminado = true;
    Q_EMIT terminar();
}

void MDIFrm::closeEvent(QCloseEvent *evento)
{
    evento->accept();
    if (m_terminado)
        return;
    m_terminado = true;
    BaseDatos::cerrar(m_ctx.conexion);
    Q_EMIT terminar();
}

void MDIFrm::changeEvent(QEvent *evento)
{
    QMainWindow::changeEvent(evento);
    if (evento->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
        // Back to the normal state once the state change is over.
        QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~Qt::WindowMaximized); });
    }
}

bool MDIFrm::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::MouseMove && (objeto == m_picture1 || objeto == centralWidget())) {
        m_barra->setRazonsocial(QString());
        LimpiarBarraEstado();
    }
    return QMainWindow::eventFilter(objeto, evento);
}

} // namespace kv
