#include "store/archivoini.h"
#include "store/texto.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using kv::ArchivoIni;

class TstArchivoIni : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString escribirArchivo(const QByteArray &contenido)
    {
        const QString ruta = m_dir.filePath(QStringLiteral("KV000.INI"));
        QFile f(ruta);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(contenido);
        return ruta;
    }

    static QByteArray leerArchivo(const QString &ruta)
    {
        QFile f(ruta);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private Q_SLOTS:
    void lectura_data()
    {
        QTest::addColumn<QString>("seccion");
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("as written") << "Options" << "SysPath" << "/srv/qdl/";
        QTest::newRow("section and key in other case") << "OPTIONS" << "syspath" << "/srv/qdl/";
        QTest::newRow("value trimmed") << "options" << "DBName" << "KV000 DATOS.db";
        QTest::newRow("quotes stripped") << "Options" << "SysUser" << "JUAN PEREZ";
        QTest::newRow("backslashes and commas kept") << "Options" << "Otro" << "C:\\QDL\\, a,b";
        QTest::newRow("missing key") << "Options" << "DBPath" << "";
        QTest::newRow("key of another section") << "Options" << "Clave" << "";
        QTest::newRow("missing section") << "Nada" << "SysPath" << "";
        QTest::newRow("accented value in Windows-1252") << "Otra" << "Nombre" << "Compañía Aérea";
    }
    void lectura()
    {
        QFETCH(QString, seccion);
        QFETCH(QString, clave);
        QFETCH(QString, esperado);
        const QByteArray contenido = "; comment\r\n[Options]\r\nSysPath=/srv/qdl/\r\n  DBName =   KV000 DATOS.db   \r\n"
                                     "SysUser=\"JUAN PEREZ\"\r\nOtro=C:\\QDL\\, a,b\r\n\r\n[Otra]\r\nClave=1\r\n"
                                     + kv::aCp1252(u"Nombre=Compañía Aérea") + "\r\n";
        ArchivoIni ini(escribirArchivo(contenido));
        QCOMPARE(ini.leer(seccion, clave), esperado);
    }

    void valorLargoSeCortaEn255()
    {
        ArchivoIni ini(escribirArchivo("[Options]\nSysPath=" + QByteArray(300, 'x') + "\n"));
        QCOMPARE(ini.leer(QStringLiteral("Options"), QStringLiteral("SysPath")), QString(255, u'x'));
    }

    void escribirConservaLasDemasLineas()
    {
        const QByteArray antes = "; host settings\r\n[Options]\r\nSysPath=/srv/qdl/\r\nsystemdb=viejo\r\n"
                                 "DBName=kv.db\r\n\r\n[Otra]\r\nClave=1\r\n";
        const QString ruta = escribirArchivo(antes);
        ArchivoIni ini(ruta);
        QVERIFY(ini.escribir(QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("/srv/qdl/KV000.MDW")));
        QCOMPARE(leerArchivo(ruta), QByteArray("; host settings\r\n[Options]\r\nSysPath=/srv/qdl/\r\n"
                                               "SystemDB=/srv/qdl/KV000.MDW\r\nDBName=kv.db\r\n\r\n[Otra]\r\nClave=1\r\n"));
    }

    void escribirAgregaClaveAlFinalDeSuSeccion()
    {
        const QString ruta = escribirArchivo("[Options]\nSysPath=/a/\n\n[Otra]\nClave=1\n");
        ArchivoIni ini(ruta);
        QVERIFY(ini.escribir(QStringLiteral("options"), QStringLiteral("SystemDB"), QStringLiteral("/a/KV000.MDW")));
        QCOMPARE(leerArchivo(ruta), QByteArray("[Options]\nSysPath=/a/\nSystemDB=/a/KV000.MDW\n\n[Otra]\nClave=1\n"));
    }

    // A stray CR at the end of one line of an LF file made the writer take
    // the whole file for CR LF and rewrite every line's ending; a second
    // write then changed the file again.
    void escribirConservaElFinDeCadaLinea()
    {
        const QByteArray antes = "[Options]\nSysPath=/a/\r\r\nDBName=kv.db\n[Otra]\r\nClave=1";
        const QString ruta = escribirArchivo(antes);
        ArchivoIni ini(ruta);
        QVERIFY(ini.escribir(QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("/a/KV000.MDW")));
        const QByteArray despues = leerArchivo(ruta);
        QCOMPARE(despues, QByteArray("[Options]\nSysPath=/a/\r\r\nDBName=kv.db\nSystemDB=/a/KV000.MDW\n[Otra]\r\nClave=1"));
        QVERIFY(ini.escribir(QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("/a/KV000.MDW")));
        QCOMPARE(leerArchivo(ruta), despues);
        QCOMPARE(ini.leer(QStringLiteral("Options"), QStringLiteral("SysPath")), QStringLiteral("/a/"));
    }

    void escribirCreaArchivoYSeccion()
    {
        const QString ruta = m_dir.filePath(QStringLiteral("nueva/KV000.INI"));
        ArchivoIni ini(ruta);
        QVERIFY(!ini.existe());
        QVERIFY(ini.escribir(QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("x")));
        QCOMPARE(ini.leer(QStringLiteral("Options"), QStringLiteral("SystemDB")), QStringLiteral("x"));

        const QString otra = escribirArchivo("[Otra]\nClave=1\n");
        ArchivoIni sinSeccion(otra);
        QVERIFY(sinSeccion.escribir(QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("y")));
        QCOMPARE(leerArchivo(otra), QByteArray("[Otra]\nClave=1\n[Options]\nSystemDB=y\n"));
    }

    void rutaSigueAXdgConfigHome()
    {
        const QByteArray anterior = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/tmp/xdg-prueba");
        QCOMPARE(ArchivoIni::rutaPredeterminada(), QStringLiteral("/tmp/xdg-prueba/KV000.INI"));
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(ArchivoIni::rutaPredeterminada().endsWith(QStringLiteral("/.config/KV000.INI")));
        qputenv("XDG_CONFIG_HOME", anterior);
    }
};

QTEST_GUILESS_MAIN(TstArchivoIni)
#include "tst_archivoini.moc"
