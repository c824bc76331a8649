// On a real X display: how the module finds the host's window (titles,
// visibility, the window manager's client list or the root's children), and
// the kv517 program itself started the way the host starts it, with its
// messages on standard error.
#include "app/cwindows.h"
#include "store/archivoini.h"
#include "support/basedeprueba.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kTituloPrincipal = QStringLiteral("0517 QDL Zentorio  - v 1.0");

// Lets the toolkit send what it has queued to the X server (new titles,
// windows created, shown or destroyed).
void sincronizar()
{
    QCoreApplication::processEvents();
    QTest::qWait(30);
}

// A top-level window of the test process with a title, shown or only
// created.
std::unique_ptr<QWidget> ventanaQt(const QString &titulo, bool visible)
{
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle(titulo);
    w->resize(200, 100);
    if (visible) {
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return nullptr;
    } else {
        w->winId(); // an X window that is never mapped
    }
    sincronizar();
    return w;
}

// Windows made with Xlib alone: a classic WM_NAME title and a class, no
// EWMH title, as older programs leave them.
class VentanaX
{
public:
    VentanaX(const char *titulo, const char *clase, bool visible) : m_pantalla(XOpenDisplay(nullptr))
    {
        if (!m_pantalla)
            return;
        m_id = XCreateSimpleWindow(m_pantalla, DefaultRootWindow(m_pantalla), 10, 10, 100, 50, 0, 0, 0);
        XStoreName(m_pantalla, m_id, titulo);
        XClassHint hint{const_cast<char *>("prueba"), const_cast<char *>(clase)};
        XSetClassHint(m_pantalla, m_id, &hint);
        if (visible)
            XMapWindow(m_pantalla, m_id);
        XSync(m_pantalla, False);
    }
    ~VentanaX()
    {
        if (!m_pantalla)
            return;
        XDestroyWindow(m_pantalla, m_id);
        XCloseDisplay(m_pantalla);
    }
    bool valida() const { return m_pantalla && m_id; }

private:
    Display *m_pantalla;
    Window m_id = 0;
};

// The window manager's client list, written on the root window as a window
// manager would.
class ListaDeClientes
{
public:
    ListaDeClientes() : m_pantalla(XOpenDisplay(nullptr)) {}
    ~ListaDeClientes()
    {
        if (!m_pantalla)
            return;
        XDeleteProperty(m_pantalla, DefaultRootWindow(m_pantalla), atomo());
        XSync(m_pantalla, False);
        XCloseDisplay(m_pantalla);
    }
    void publicar(const QList<WId> &ventanas)
    {
        std::vector<unsigned long> ids(ventanas.cbegin(), ventanas.cend());
        XChangeProperty(m_pantalla, DefaultRootWindow(m_pantalla), atomo(), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(ids.data()), int(ids.size()));
        XSync(m_pantalla, False);
    }

private:
    Atom atomo() const { return XInternAtom(m_pantalla, "_NET_CLIENT_LIST", False); }
    Display *m_pantalla;
};

// The title of the visible top-level window on top of the others.
QString ventanaDeArriba()
{
    const QList<cWindows::Ventana> ventanas = cWindows().ventanas();
    for (auto it = ventanas.crbegin(); it != ventanas.crend(); ++it) {
        if (it->visible && !it->titulo.isEmpty())
            return it->titulo;
    }
    return {};
}

struct Resultado
{
    int salida = -1;
    QString errores;
};

// kv517 started as the host starts it: no arguments, messages on stderr,
// its own runtime folder for the single-copy lock.
class Programa
{
public:
    explicit Programa(const QString &runtime)
    {
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("KV517_MENSAJES"), QStringLiteral("stderr"));
        entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        m_proceso.setProcessEnvironment(entorno);
        m_proceso.setProgram(qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/kv517"));
    }
    ~Programa()
    {
        if (m_proceso.state() != QProcess::NotRunning) {
            m_proceso.kill();
            m_proceso.waitForFinished(5000);
        }
    }
    void iniciar() { m_proceso.start(); }
    bool corre() const { return m_proceso.state() == QProcess::Running; }
    Resultado esperar(int ms = 20000)
    {
        if (!m_proceso.waitForFinished(ms))
            return {};
        return {m_proceso.exitStatus() == QProcess::NormalExit ? m_proceso.exitCode() : -2,
                QString::fromUtf8(m_proceso.readAllStandardError())};
    }

private:
    QProcess m_proceso;
};

} // namespace

class TstKv517 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void init()
    {
        QVERIFY(m_runtime.isValid());
        sincronizar();
    }

    void titulosYVisibilidad_data()
    {
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("esElIntegrador");
        QTest::newRow("exacto") << "Qadelia" << true << true;
        QTest::newRow("lo contiene") << "Integrador Qadelia" << true << false;
        QTest::newRow("con blanco final") << "Qadelia " << true << false;
        QTest::newRow("minusculas") << "qadelia" << true << false;
        QTest::newRow("mayusculas") << "QADELIA" << true << false;
        QTest::newRow("oculta") << "Qadelia" << false << false;
    }

    void titulosYVisibilidad()
    {
        QFETCH(QString, titulo);
        QFETCH(bool, visible);
        QFETCH(bool, esElIntegrador);
        const cWindows ventanas;
        QVERIFY(ventanas.conectado());
        QVERIFY(!ventanas.CorreApp(QStringLiteral("Qadelia")));
        const auto w = ventanaQt(titulo, visible);
        QVERIFY(w);
        QCOMPARE(ventanas.CorreApp(QStringLiteral("Qadelia")), esElIntegrador);
        QCOMPARE(ventanas.CorreApp(titulo), visible);
    }

    void tituloUtf8YTituloClasico()
    {
        const cWindows ventanas;
        const auto acentos = ventanaQt(QStringLiteral("Declaración ñandú"), true);
        QVERIFY(acentos);
        QVERIFY(ventanas.CorreApp(QStringLiteral("Declaración ñandú")));
        QVERIFY(!ventanas.CorreApp(QStringLiteral("Declaracion nandu")));

        const VentanaX clasica("Qadelia", "Integrador", true);
        QVERIFY(clasica.valida());
        QVERIFY(ventanas.CorreApp(QStringLiteral("Qadelia")));
        QCOMPARE(ventanas.ClassName(QStringLiteral("Qadelia")), QStringLiteral("Integrador"));
        QCOMPARE(ventanas.ClassName(QStringLiteral("Ninguna")), QString());
    }

    void listaDelGestorDeVentanas()
    {
        const cWindows ventanas;
        const auto integrador = ventanaQt(QStringLiteral("Qadelia"), true);
        const auto otra = ventanaQt(QStringLiteral("Otra"), true);
        QVERIFY(integrador && otra);
        {
            ListaDeClientes lista;
            // A published list is the list of top-level windows.
            lista.publicar({otra->winId()});
            QVERIFY(!ventanas.CorreApp(QStringLiteral("Qadelia")));
            QVERIFY(ventanas.CorreApp(QStringLiteral("Otra")));
            lista.publicar({otra->winId(), integrador->winId()});
            QVERIFY(ventanas.CorreApp(QStringLiteral("Qadelia")));
            // Listed but not mapped still does not count.
            integrador->hide();
            sincronizar();
            QVERIFY(!ventanas.CorreApp(QStringLiteral("Qadelia")));
            integrador->show();
            QVERIFY(QTest::qWaitForWindowExposed(integrador.get()));
            sincronizar();
            // A window that is gone but still listed is skipped.
            const WId ida = ventanaQt(QStringLiteral("Efimera"), true)->winId();
            sincronizar();
            lista.publicar({ida, integrador->winId()});
            QVERIFY(ventanas.CorreApp(QStringLiteral("Qadelia")));
        }
        // Without the list, the root window's children again.
        QVERIFY(ventanas.CorreApp(QStringLiteral("Qadelia")));
    }

    void cerrarUnaVentana()
    {
        const cWindows ventanas;
        const auto w = ventanaQt(QStringLiteral("Ventana a cerrar"), true);
        QVERIFY(w);
        const QString clase = ventanas.ClassName(QStringLiteral("Ventana a cerrar"));
        QVERIFY(!clase.isEmpty());
        QVERIFY(!ventanas.CloseApp(QStringLiteral("Ventana a cerrar"), clase + QStringLiteral("x")));
        QVERIFY(!ventanas.CloseApp(QStringLiteral("Progman"), clase));
        QVERIFY(w->isVisible());
        QVERIFY(ventanas.CloseApp(QStringLiteral("Ventana a cerrar"), clase));
        QTRY_VERIFY(!w->isVisible());
    }

    void programaSinIntegrador_data()
    {
        QTest::addColumn<QString>("titulo"); // empty: no window
        QTest::addColumn<bool>("visible");
        QTest::newRow("ninguna ventana") << "" << true;
        QTest::newRow("titulo que lo contiene") << "Qadelia - Integrador" << true;
        QTest::newRow("otra capitalizacion") << "QADELIA" << true;
        QTest::newRow("ventana oculta") << "Qadelia" << false;
    }

    void programaSinIntegrador()
    {
        QFETCH(QString, titulo);
        QFETCH(bool, visible);
        BaseDePrueba base;
        QVERIFY(base.valida());
        std::unique_ptr<QWidget> w;
        if (!titulo.isEmpty())
            w = ventanaQt(titulo, visible);
        Programa kv517(m_runtime.path());
        kv517.iniciar();
        const Resultado r = kv517.esperar();
        QCOMPARE(r.errores, QStringLiteral("Error al ejecutar el módulo: Debe ejecutar este módulo desde el "
                                           "Integrador del QDL\n"));
        QVERIFY(r.salida > 0);
        // Ended before reading KV000.INI or showing a window.
        QCOMPARE(ArchivoIni(base.rutaIni()).leer(QStringLiteral("Options"), QStringLiteral("SystemDB")), QString());
        QVERIFY(!cWindows().CorreApp(kTituloPrincipal));
    }

    void programaConIntegradorYSegundaCopia()
    {
        BaseDePrueba base;
        QVERIFY(base.valida());
        const auto integrador = ventanaQt(QStringLiteral("Qadelia"), true);
        QVERIFY(integrador);
        Programa primera(m_runtime.path());
        primera.iniciar();
        const cWindows ventanas;
        QTRY_VERIFY_WITH_TIMEOUT(ventanas.CorreApp(kTituloPrincipal), 15000);
        QCOMPARE(ArchivoIni(base.rutaIni()).leer(QStringLiteral("Options"), QStringLiteral("SystemDB")),
                 base.carpeta() + QStringLiteral("KV000.MDW"));

        // The host's window over the module's, as when the user went back to it.
        if (Display *d = XOpenDisplay(nullptr)) {
            XRaiseWindow(d, integrador->winId());
            XSync(d, False);
            XCloseDisplay(d);
        }
        QTRY_COMPARE(ventanaDeArriba(), QStringLiteral("Qadelia"));

        Programa segunda(m_runtime.path());
        segunda.iniciar();
        const Resultado r = segunda.esperar();
        QCOMPARE(r.errores,
                 QStringLiteral("Declaración Pago Anual Impuesto a la Renta: La Aplicación ya se encuentra en "
                                "ejecución\n"));
        QVERIFY(r.salida > 0);
        QVERIFY(primera.corre());
        // Having said so, it brought the running copy's window to the front.
        QTRY_COMPARE_WITH_TIMEOUT(ventanaDeArriba(), kTituloPrincipal, 10000);

        // Closed from its frame, the first copy ends normally.
        QVERIFY(ventanas.CloseApp(kTituloPrincipal, ventanas.ClassName(kTituloPrincipal)));
        const Resultado fin = primera.esperar();
        QCOMPARE(fin.salida, 0);
        QCOMPARE(fin.errores, QString());
    }

    void programaConBaseInaccesible_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("sin permiso de escritura") << "solo lectura";
        QTest::newRow("archivo inexistente") << "inexistente";
    }

    void programaConBaseInaccesible()
    {
        QFETCH(QString, caso);
        BaseDePrueba base;
        QVERIFY(base.valida());
        const QString otra = base.carpeta() + QStringLiteral("noexiste.db");
        if (caso == u"solo lectura")
            QFile::setPermissions(base.rutaBase(), QFile::ReadOwner | QFile::ReadGroup);
        else
            ArchivoIni(base.rutaIni()).escribir(QStringLiteral("Options"), QStringLiteral("DBName"),
                                                QStringLiteral("noexiste.db"));
        const auto integrador = ventanaQt(QStringLiteral("Qadelia"), true);
        QVERIFY(integrador);
        Programa kv517(m_runtime.path());
        kv517.iniciar();
        const Resultado r = kv517.esperar();
        QFile::setPermissions(base.rutaBase(), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(r.salida > 0);
        if (caso == u"solo lectura") {
            QCOMPARE(r.errores, QStringLiteral("Error de Conección:  3051- Base esta bloqueda\n"));
        } else {
            QVERIFY2(r.errores.startsWith(QStringLiteral("Error de Conección: ")), qPrintable(r.errores));
            QVERIFY2(!r.errores.contains(QStringLiteral("3051")), qPrintable(r.errores));
            QVERIFY(!QFile::exists(otra));
        }
    }
};

QTEST_MAIN(TstKv517)
#include "tst_kv517.moc"
