// Start-up under the host: the host's window, the single copy, KV000.INI,
// the database open and its two failure messages, the help path.
#include "app/arranque.h"
#include "store/instanciaunica.h"
#include "store/archivoini.h"
#include "support/basedeprueba.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace kv;
using namespace kv::prueba;

class TstArranque : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    void integrador_data()
    {
        QTest::addColumn<bool>("corre");
        QTest::addColumn<int>("mensajes");
        QTest::newRow("con la ventana del integrador") << true << 0;
        QTest::newRow("sin ella") << false << 1;
    }

    void integrador()
    {
        QFETCH(bool, corre);
        QFETCH(int, mensajes);
        MensajesGuionados guion;
        Contexto ctx;
        ctx.mensajes = &guion;
        Arranque arranque(ctx, ArchivoIni(m_runtime.filePath(QStringLiteral("no.ini"))));
        QStringList buscados;
        const bool sigue = arranque.CorreIntegrador([&](const QString &titulo) {
            buscados << titulo;
            return corre;
        });
        QCOMPARE(sigue, corre);
        QCOMPARE(buscados, QStringList{QStringLiteral("Qadelia")});
        QCOMPARE(guion.mostrados().size(), mensajes);
        if (mensajes) {
            QCOMPARE(guion.ultimo().titulo, QStringLiteral("Error al ejecutar el módulo"));
            QCOMPARE(guion.ultimo().texto, QStringLiteral("Debe ejecutar este módulo desde el Integrador del QDL"));
            QCOMPARE(guion.ultimo().icono, Icono::Critico);
        }
    }

    void unaSolaCopia()
    {
        MensajesGuionados guion;
        Contexto ctx;
        ctx.mensajes = &guion;
        Arranque arranque(ctx, ArchivoIni(m_runtime.filePath(QStringLiteral("no.ini"))));
        {
            InstanciaUnica primera;
            QCOMPARE(primera.ruta(), m_runtime.filePath(QStringLiteral("kv517.lock")));
            QVERIFY(arranque.VerificarInstancia(primera));
            QVERIFY(arranque.VerificarInstancia(primera)); // held already
            InstanciaUnica segunda;
            QVERIFY(!arranque.VerificarInstancia(segunda));
            QCOMPARE(guion.mostrados().size(), 1);
            QCOMPARE(guion.ultimo().titulo, QStringLiteral("Declaración Pago Anual Impuesto a la Renta"));
            QCOMPARE(guion.ultimo().texto, QStringLiteral("La Aplicación ya se encuentra en ejecución"));
            QCOMPARE(guion.ultimo().icono, Icono::Informacion);
        }
        // The lock goes with the copy that held it; the file left behind
        // blocks nobody.
        QVERIFY(QFile::exists(m_runtime.filePath(QStringLiteral("kv517.lock"))));
        InstanciaUnica tercera;
        QVERIFY(arranque.VerificarInstancia(tercera));
        QCOMPARE(guion.mostrados().size(), 1);
    }

    void carpetaSinSesion()
    {
        const QByteArray antes = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString carpeta = InstanciaUnica::carpetaPredeterminada();
        qputenv("XDG_RUNTIME_DIR", antes);
        QCOMPARE(carpeta, QDir::tempPath() + QStringLiteral("/kv-%1").arg(::getuid()));
        struct stat datos{};
        QCOMPARE(::stat(QFile::encodeName(carpeta).constData(), &datos), 0);
        QCOMPARE(int(datos.st_mode & 0777), 0700);
        QCOMPARE(datos.st_uid, ::getuid());
    }

    void textosDeConexion_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("bloqueada") << 3051 << "database is locked" << " 3051- Base esta bloqueda";
        QTest::newRow("otro error") << 14 << "unable to open database file" << "unable to open database file\n 14";
        QTest::newRow("numero negativo") << -7 << "raro" << "raro\n-7";
    }

    void textosDeConexion()
    {
        QFETCH(int, numero);
        QFETCH(QString, texto);
        QFETCH(QString, mensaje);
        QCOMPARE(Arranque::textoErrorConexion(ErrorBD{numero, texto}), mensaje);
    }

    // How the INI's values become paths, and what each wrong value ends in.
    void configuracionYBase_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<bool>("abre");
        QTest::addColumn<QString>("mensaje"); // "3051", "generico" or empty
        QTest::newRow("instalacion correcta") << "correcta" << true << "";
        QTest::newRow("DBPath sin barra final") << "dbpath sin barra" << false << "generico";
        QTest::newRow("base de solo lectura") << "solo lectura" << false << "3051";
        QTest::newRow("base inexistente") << "inexistente" << false << "generico";
        QTest::newRow("SysPath sin barra final") << "syspath sin barra" << true << "";
        QTest::newRow("INI sin claves") << "sin claves" << false << "generico";
    }

    void configuracionYBase()
    {
        QFETCH(QString, caso);
        QFETCH(bool, abre);
        QFETCH(QString, mensaje);
        BaseDePrueba base;
        QVERIFY(base.valida());
        const QString carpeta = base.carpeta(); // ends in "/"
        const QString sinBarra = carpeta.chopped(1);
        ArchivoIni ini(base.rutaIni());
        const QString opciones = QStringLiteral("Options");
        if (caso == u"dbpath sin barra")
            ini.escribir(opciones, QStringLiteral("DBPath"), sinBarra);
        if (caso == u"solo lectura")
            QFile::setPermissions(base.rutaBase(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (caso == u"inexistente")
            ini.escribir(opciones, QStringLiteral("DBName"), QStringLiteral("otra.db"));
        if (caso == u"syspath sin barra")
            ini.escribir(opciones, QStringLiteral("SysPath"), QStringLiteral("  ") + sinBarra + QStringLiteral("  "));
        if (caso == u"sin claves") {
            QFile::remove(base.rutaIni());
            ini.escribir(QStringLiteral("Otra"), QStringLiteral("Clave"), QStringLiteral("1"));
        }

        MensajesGuionados guion;
        Contexto ctx;
        ctx.mensajes = &guion;
        ctx.conexion = QStringLiteral("arranque");
        ctx.sArchivoAyuda = QStringLiteral("kv517.hlp");
        Arranque arranque(ctx); // KV000.INI where the host keeps it
        const QString directorioAntes = QDir::currentPath();
        arranque.LeerConfiguracion();
        const bool abierta = arranque.AbrirBaseDatos();
        const QString directorio = QDir::currentPath();
        QDir::setCurrent(directorioAntes);
        QFile::setPermissions(base.rutaBase(), QFile::ReadOwner | QFile::WriteOwner);

        QCOMPARE(abierta, abre);
        QCOMPARE(BaseDatos::base(ctx.conexion).isOpen(), abre);
        BaseDatos::cerrar(ctx.conexion);
        if (mensaje.isEmpty()) {
            QVERIFY(guion.mostrados().isEmpty());
        } else {
            QCOMPARE(guion.mostrados().size(), 1);
            QCOMPARE(guion.ultimo().titulo, QStringLiteral("Error de Conección"));
            QCOMPARE(guion.ultimo().botones, Botones::Aceptar);
            if (mensaje == u"3051") {
                QCOMPARE(guion.ultimo().texto, QStringLiteral(" 3051- Base esta bloqueda"));
            } else {
                const QString texto = guion.ultimo().texto;
                QVERIFY2(texto.contains(u'\n') && !texto.contains(QStringLiteral("3051")), qPrintable(texto));
                QVERIFY2(texto.section(u'\n', 1).startsWith(u' '), qPrintable(texto));
            }
        }
        // Nothing is created where the database was missing.
        QVERIFY(!QFile::exists(carpeta + QStringLiteral("otra.db")));
        QVERIFY(!QFile::exists(sinBarra + QStringLiteral("qadelia.db")));

        if (caso == u"sin claves")
            return;
        const QString sistema = caso == u"syspath sin barra" ? sinBarra : carpeta;
        QCOMPARE(ctx.sRutaSistema, sistema);
        QCOMPARE(ctx.sRutaReportes, sistema + QStringLiteral("RPT"));
        QCOMPARE(ctx.sUsuario, QStringLiteral("PRUEBA"));
        QCOMPARE(QDir(directorio).canonicalPath(), QDir(sinBarra).canonicalPath());
        QCOMPARE(arranque.rutaAyuda(), sistema + QStringLiteral("0517/kv517.hlp"));
        // Written on every start, whatever happens to the database.
        QCOMPARE(ArchivoIni(base.rutaIni()).leer(opciones, QStringLiteral("SystemDB")),
                 sistema + QStringLiteral("KV000.MDW"));
    }
};

QTEST_MAIN(TstArranque)
#include "tst_arranque.moc"
