#include "entornoprueba.h"
#include "integrator/instalacion.h"
#include "integrator/lanzador.h"
#include "integrator/semilla.h"
#include "store/accesodatos.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/esquema.h"
#include "support/mensajesguionados.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace kv;
using kv::prueba::MensajesGuionados;

namespace {

const QString kConexion = QStringLiteral("qadelia");
const QByteArray kAyuda = "ayuda del formulario 0517\n";
const QByteArray kEnvio = "1|F517DETVP|HF517DETVP||1|1|1|2|4|3|0|0|0|\r\n";

// One start of the host, as main() does it, with the database closed after.
struct Inicio
{
    MensajesGuionados mensajes;
    Lanzador lanzador;
    Instalacion instalacion;
    bool listo;

    Inicio(const EntornoPrueba &e, const QString &usuario = QStringLiteral("OPERADOR"))
        : lanzador(mensajes, e.programas())
        , instalacion(opciones(e, usuario), mensajes, lanzador)
        , listo(instalacion.preparar(kConexion))
    {
    }
    ~Inicio() { BaseDatos::cerrar(kConexion); }

    static Instalacion::Opciones opciones(const EntornoPrueba &e, const QString &usuario)
    {
        Instalacion::Opciones o = Instalacion::predeterminadas(e.programas());
        o.usuario = usuario;
        o.nombreUsuario = QStringLiteral("Operador de prueba");
        return o;
    }
};

// Everything a start could change: the INI, every file under the system
// folder (name, size, time) and every row of the host's tables.
QStringList fotografia(const QString &rutaIni, const QString &sistema)
{
    QStringList r;
    r << QString::fromLatin1(EntornoPrueba::leer(rutaIni).toHex());
    QDirIterator it(sistema, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    QStringList archivos;
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        // The database's own journal files change on every open.
        if (info.fileName().endsWith(u"-wal") || info.fileName().endsWith(u"-shm"))
            continue;
        archivos << info.filePath() + u' ' + QString::number(info.isDir() ? 0 : info.size()) + u' '
                + info.lastModified().toString(Qt::ISODateWithMs);
    }
    archivos.sort();
    r << archivos;
    const QString conexion = QStringLiteral("foto");
    {
        BaseDatos::abrir(ArchivoIni(rutaIni).leer(QStringLiteral("Options"), QStringLiteral("DBPath"))
                + ArchivoIni(rutaIni).leer(QStringLiteral("Options"), QStringLiteral("DBName")),
            conexion);
        QSqlQuery q(BaseDatos::base(conexion));
        for (const Tabla &t : tablasIntegrador()) {
            q.exec(QStringLiteral("SELECT * FROM ") + t.nombre + QStringLiteral(" ORDER BY 1, 2"));
            while (q.next()) {
                QStringList fila { t.nombre };
                for (int i = 0; i < q.record().count(); ++i)
                    fila << q.value(i).toString();
                r << fila.join(u'|');
            }
        }
    }
    BaseDatos::cerrar(conexion);
    return r;
}

int contar(const QString &sql, const QVariantList &valores = {})
{
    QSqlQuery q(BaseDatos::base(kConexion));
    q.prepare(sql);
    for (const QVariant &v : valores)
        q.addBindValue(v);
    return q.exec() && q.next() ? q.value(0).toInt() : -1;
}

QString opcion(const QString &rutaIni, const char *clave)
{
    return ArchivoIni(rutaIni).leer(QStringLiteral("Options"), QString::fromLatin1(clave));
}

} // namespace

class TstInstalacion : public QObject
{
    Q_OBJECT

private slots:
    void primerInicioCreaLaInstalacion();
    void filasIniciales_data();
    void filasIniciales();
    void filasInicialesConPosicionesFijas();
    void segundoInicioNoCambiaNada();
    void usaLaInstalacionDeOtroHost();
    void iniSinSistemaEsPrimerInicio();
    void iniConBaseInexistente();
    void primerInicioCompletaUnaBaseAnterior();
    void instalador_data();
    void instalador();
    void archivosDelModuloSeRenuevan();
};

void TstInstalacion::primerInicioCreaLaInstalacion()
{
    EntornoPrueba e;
    EntornoPrueba::escribir(e.programas() + QStringLiteral("/kv517.hlp"), kAyuda);
    EntornoPrueba::escribir(e.programas() + QStringLiteral("/env517.txt"), kEnvio);
    // The installer must see the host's KV000.INI, the layout file already
    // in place, and start in the system folder.
    QVERIFY(e.programa(QStringLiteral("kvt517"),
        "{ echo \"$XDG_CONFIG_HOME\"; pwd -P; test -f tmp/env517.txt && echo envio; } > "
            + QFile::encodeName(e.raiz()) + "/instalador.txt"));

    Inicio inicio(e);
    QVERIFY(inicio.listo);
    QVERIFY(inicio.instalacion.primerInicio());
    QCOMPARE(inicio.mensajes.textos(), QStringList());

    const QString sistema = e.sistemaPredeterminado();
    QCOMPARE(inicio.instalacion.rutaSistema(), sistema);
    for (const char *carpeta : { "RPT", "TMP", "0517" })
        QVERIFY2(QFileInfo(sistema + QString::fromLatin1(carpeta)).isDir(), carpeta);
    const QFileInfo tmp(sistema + QStringLiteral("tmp"));
    QVERIFY(tmp.isSymLink());
    QCOMPARE(tmp.canonicalFilePath(), QFileInfo(sistema + QStringLiteral("TMP")).canonicalFilePath());
    QCOMPARE(EntornoPrueba::leer(sistema + QStringLiteral("0517/kv517.hlp")), kAyuda);
    QCOMPARE(EntornoPrueba::leer(sistema + QStringLiteral("TMP/env517.txt")), kEnvio);

    QCOMPARE(opcion(e.rutaIni(), "SysPath"), sistema);
    QCOMPARE(opcion(e.rutaIni(), "DBPath"), sistema);
    QCOMPARE(opcion(e.rutaIni(), "DBName"), QStringLiteral("qadelia.db"));
    QCOMPARE(opcion(e.rutaIni(), "SysUser"), QStringLiteral("OPERADOR"));
    QCOMPARE(inicio.instalacion.rutaBase(), sistema + QStringLiteral("qadelia.db"));
    for (const Tabla &t : tablasIntegrador())
        QVERIFY2(existeTabla(BaseDatos::base(kConexion), t.nombre), qPrintable(t.nombre));

    const QStringList instalador
        = QString::fromLocal8Bit(EntornoPrueba::leer(e.raiz() + QStringLiteral("/instalador.txt")))
              .split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(instalador,
        QStringList({ e.config(), QFileInfo(sistema).canonicalFilePath(), QStringLiteral("envio") }));
}

void TstInstalacion::filasIniciales_data()
{
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("argumento");
    QTest::addColumn<int>("inicio");
    QTest::addColumn<int>("largo");
    QTest::addColumn<QString>("esperado");

    QTest::newRow("banco: nombre") << "004"
                                   << "02" << 1 << 36
                                   << QStringLiteral("BANCO DE CREDITO DEL PERU").leftJustified(36);
    QTest::newRow("banco: nombre corto")
        << "004"
        << "11" << 38 << 12 << QStringLiteral("CONTINENTAL").leftJustified(12);
    QTest::newRow("banco: el 00 existe") << "004"
                                         << "00" << 1 << 7 << "NINGUNO";
    QTest::newRow("RUC: como el valor de respaldo") << "044"
                                                    << "6" << 1 << 130 << semilla::funcionRuc();
    QTest::newRow("RUC: largo 11") << "044"
                                   << "6" << 46 << 2 << "11";
    QTest::newRow("DNI: largo 8") << "044"
                                  << "1" << 46 << 2 << "08";
    QTest::newRow("DNI: largo fijo") << "044"
                                     << "1" << 130 << 1 << "1";
    QTest::newRow("carnet: largo variable") << "044"
                                            << "4" << 130 << 1 << "0";
}

void TstInstalacion::filasIniciales()
{
    QFETCH(QString, numero);
    QFETCH(QString, argumento);
    QFETCH(int, inicio);
    QFETCH(int, largo);
    QFETCH(QString, esperado);

    EntornoPrueba e;
    Inicio host(e);
    QVERIFY(host.listo);
    Contexto ctx;
    ctx.conexion = kConexion;
    ctx.leerConfiguracion(ArchivoIni(e.rutaIni()));
    AccesoDatos datos(ctx);
    // Read the way the module reads them.
    QCOMPARE(datos.ParametroFuncion(numero, argumento, largo, inicio), esperado);
}

void TstInstalacion::filasInicialesConPosicionesFijas()
{
    EntornoPrueba e;
    Inicio host(e);
    QVERIFY(host.listo);
    Contexto ctx;
    ctx.conexion = kConexion;
    ctx.leerConfiguracion(ArchivoIni(e.rutaIni()));
    AccesoDatos datos(ctx);

    QSqlQuery q(BaseDatos::base(kConexion));
    QVERIFY(q.exec(QStringLiteral("SELECT Argumento, Funcion, Correl_param FROM PARAM WHERE Numero='004'")));
    int bancos = 0;
    while (q.next()) {
        const QString codigo = q.value(0).toString(), funcion = q.value(1).toString();
        QVERIFY2(codigo.size() == 2 && codigo.at(0).isDigit() && codigo.at(1).isDigit(), qPrintable(codigo));
        QVERIFY2(!funcion.left(36).trimmed().isEmpty() && funcion.at(36) == u' '
                && !funcion.mid(37, 12).trimmed().isEmpty(),
            qPrintable(funcion));
        QCOMPARE(q.value(2).toString(), QString());
        bancos += codigo != u"00";
    }
    QVERIFY2(bancos >= 12, qPrintable(QString::number(bancos)));

    QVERIFY(q.exec(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero='044'")));
    int tipos = 0;
    while (q.next()) {
        const QString funcion = q.value(1).toString();
        QCOMPARE(funcion.size(), 130);
        bool numero = false;
        QVERIFY2(funcion.mid(45, 2).toInt(&numero) > 0 && numero, qPrintable(funcion));
        QVERIFY2(funcion.at(129) == u'0' || funcion.at(129) == u'1', qPrintable(funcion));
        ++tipos;
    }
    QVERIFY(tipos >= 4);

    // The first user sees every taxpayer; the save messages are two texts.
    ctx.sUsuario = QStringLiteral("OPERADOR");
    QCOMPARE(datos.TipoUsuario(), QStringLiteral("0"));
    QCOMPARE(contar(QStringLiteral("SELECT count(*) FROM CLAVES")), 1);
    const QString sinInconsistencias = datos.DescripcionError(151),
                  conInconsistencias = datos.DescripcionError(152);
    QVERIFY(sinInconsistencias.contains(u"no presenta inconsistencias"));
    QVERIFY(conInconsistencias.contains(u"con inconsistencias"));
}

void TstInstalacion::segundoInicioNoCambiaNada()
{
    EntornoPrueba e;
    EntornoPrueba::escribir(e.programas() + QStringLiteral("/kv517.hlp"), kAyuda);
    EntornoPrueba::escribir(e.programas() + QStringLiteral("/env517.txt"), kEnvio);
    QVERIFY(e.programa(
        QStringLiteral("kvt517"), "echo corrida >> " + QFile::encodeName(e.raiz()) + "/corridas.txt"));
    {
        Inicio primero(e);
        QVERIFY(primero.listo);
    }
    const QStringList antes = fotografia(e.rutaIni(), e.sistemaPredeterminado());
    QTest::qWait(20); // a rewritten file would show a later time
    {
        Inicio segundo(e, QStringLiteral("OTRO"));
        QVERIFY(segundo.listo);
        QVERIFY(!segundo.instalacion.primerInicio());
        QCOMPARE(segundo.mensajes.textos(), QStringList());
    }
    QCOMPARE(fotografia(e.rutaIni(), e.sistemaPredeterminado()), antes);
    // The installer runs on every start.
    QCOMPARE(
        EntornoPrueba::leer(e.raiz() + QStringLiteral("/corridas.txt")), QByteArray("corrida\ncorrida\n"));
}

void TstInstalacion::usaLaInstalacionDeOtroHost()
{
    EntornoPrueba e;
    // Another host's layout: the database in a folder of its own, the
    // folder names in upper case, a parameter row of its own.
    const QString otro = e.raiz() + QStringLiteral("/OTRO/");
    QDir().mkpath(otro + QStringLiteral("BD"));
    QDir().mkpath(otro + QStringLiteral("TMP"));
    {
        QVERIFY(!BaseDatos::crear(otro + QStringLiteral("BD/SISTEMA.DB"), QStringLiteral("otro")).hay());
        QVERIFY(!crearTablas(BaseDatos::base(QStringLiteral("otro")), tablasIntegrador()).hay());
        QSqlQuery q(BaseDatos::base(QStringLiteral("otro")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO PARAM VALUES ('004','99','BANCO PROPIO','')")));
    }
    BaseDatos::cerrar(QStringLiteral("otro"));
    const QByteArray ini = "[Options]\r\nSysPath=" + QFile::encodeName(otro)
        + "\r\nDBPath=" + QFile::encodeName(otro) + "BD/\r\nDBName=SISTEMA.DB\r\nSysUser=JPEREZ\r\n";
    QVERIFY(EntornoPrueba::escribir(e.rutaIni(), ini));
    EntornoPrueba::escribir(e.programas() + QStringLiteral("/env517.txt"), kEnvio);

    Inicio host(e);
    QVERIFY(host.listo);
    QVERIFY(!host.instalacion.primerInicio());
    QCOMPARE(host.mensajes.textos(), QStringList());
    QCOMPARE(host.instalacion.rutaBase(), otro + QStringLiteral("BD/SISTEMA.DB"));
    QCOMPARE(EntornoPrueba::leer(e.rutaIni()), ini);
    QVERIFY(!QFileInfo::exists(e.sistemaPredeterminado()));
    // Its rows are its own: nothing is seeded into it.
    QCOMPARE(contar(QStringLiteral("SELECT count(*) FROM PARAM")), 1);
    QCOMPARE(contar(QStringLiteral("SELECT count(*) FROM CLAVES")), 0);
    // The layout file still goes where the installer reads it.
    QCOMPARE(EntornoPrueba::leer(otro + QStringLiteral("tmp/env517.txt")), kEnvio);
    QCOMPARE(EntornoPrueba::leer(otro + QStringLiteral("TMP/env517.txt")), kEnvio);
}

void TstInstalacion::iniSinSistemaEsPrimerInicio()
{
    EntornoPrueba e;
    // What a module started before any host leaves behind.
    QVERIFY(EntornoPrueba::escribir(e.rutaIni(), "[Options]\nSystemDB=KV000.MDW\n"));
    Inicio host(e);
    QVERIFY(host.listo);
    QVERIFY(host.instalacion.primerInicio());
    QCOMPARE(opcion(e.rutaIni(), "SystemDB"), QStringLiteral("KV000.MDW"));
    QCOMPARE(opcion(e.rutaIni(), "SysPath"), e.sistemaPredeterminado());
    QCOMPARE(contar(QStringLiteral("SELECT count(*) FROM PARAM WHERE Numero='044' AND Argumento='6'")), 1);
}

void TstInstalacion::iniConBaseInexistente()
{
    EntornoPrueba e;
    const QString sistema = e.raiz() + QStringLiteral("/perdido/");
    QVERIFY(EntornoPrueba::escribir(e.rutaIni(),
        "[Options]\nSysPath=" + QFile::encodeName(sistema) + "\nDBPath=" + QFile::encodeName(sistema)
            + "\nDBName=qadelia.db\n"));
    Inicio host(e);
    QVERIFY(!host.listo);
    QCOMPARE(host.mensajes.mostrados().size(), 1);
    QCOMPARE(host.mensajes.ultimo().icono, Icono::Critico);
    QVERIFY(host.mensajes.ultimo().texto.contains(sistema + QStringLiteral("qadelia.db")));
    QVERIFY(!QFileInfo::exists(sistema)); // never made up behind the user's back
}

void TstInstalacion::primerInicioCompletaUnaBaseAnterior()
{
    EntornoPrueba e;
    // A first start cut short before its INI: the database is there, with a
    // bank row someone already corrected.
    const QString sistema = e.sistemaPredeterminado();
    QDir().mkpath(sistema);
    {
        QVERIFY(!BaseDatos::crear(sistema + QStringLiteral("qadelia.db"), QStringLiteral("antes")).hay());
        QVERIFY(!crearTablas(BaseDatos::base(QStringLiteral("antes")), tablasIntegrador()).hay());
        QSqlQuery q(BaseDatos::base(QStringLiteral("antes")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO PARAM VALUES ('004','02','BANCO CORREGIDO','')")));
    }
    BaseDatos::cerrar(QStringLiteral("antes"));

    Inicio host(e);
    QVERIFY(host.listo);
    QVERIFY(host.instalacion.primerInicio());
    QCOMPARE(contar(QStringLiteral("SELECT count(*) FROM PARAM WHERE Numero='004' AND Argumento='02'")), 1);
    QCOMPARE(contar(QStringLiteral("SELECT count(*) FROM PARAM WHERE Funcion='BANCO CORREGIDO'")), 1);
    QCOMPARE(
        contar(QStringLiteral("SELECT count(*) FROM PARAM WHERE Numero='004'")), semilla::bancos().size());
}

void TstInstalacion::instalador_data()
{
    QTest::addColumn<QByteArray>("guion");
    QTest::addColumn<QStringList>("fragmentos"); // empty: nothing shown

    QTest::newRow("termina bien y calla") << QByteArray("exit 0") << QStringList();
    QTest::newRow("termina mal") << QByteArray(
        "echo 'Error de Conección: 3051- Base de datos esta bloqueda' >&2; exit 1")
                                 << QStringList { QStringLiteral("kvt517 terminó con el código de salida 1"),
                                        QStringLiteral("3051- Base de datos esta bloqueda") };
    QTest::newRow("termina bien pero avisa un error")
        << QByteArray("echo 'Error al Ejecutar Sentencia SQL: Error Número : 1' >&2; exit 0")
        << QStringList { QStringLiteral("Error Número : 1") };
}

void TstInstalacion::instalador()
{
    QFETCH(QByteArray, guion);
    QFETCH(QStringList, fragmentos);
    EntornoPrueba e;
    QVERIFY(e.programa(QStringLiteral("kvt517"), guion));
    Inicio host(e);
    // The host goes on whatever the installer did.
    QVERIFY(host.listo);
    if (fragmentos.isEmpty()) {
        QCOMPARE(host.mensajes.textos(), QStringList());
        return;
    }
    QCOMPARE(host.mensajes.mostrados().size(), 1);
    for (const QString &f : fragmentos)
        QVERIFY2(host.mensajes.ultimo().texto.contains(f), qPrintable(host.mensajes.ultimo().texto));
}

void TstInstalacion::archivosDelModuloSeRenuevan()
{
    EntornoPrueba e;
    const QString ayuda = e.programas() + QStringLiteral("/kv517.hlp");
    EntornoPrueba::escribir(ayuda, kAyuda);
    QStringList escritos;
    {
        Inicio primero(e);
        QVERIFY(primero.listo);
        QCOMPARE(primero.instalacion.copiarArchivosModulo(), QStringList()); // already in place
        EntornoPrueba::escribir(ayuda, "ayuda nueva\n");
        escritos = primero.instalacion.copiarArchivosModulo();
    }
    const QString copia = e.sistemaPredeterminado() + QStringLiteral("0517/kv517.hlp");
    QCOMPARE(escritos, QStringList { copia });
    QCOMPARE(EntornoPrueba::leer(copia), QByteArray("ayuda nueva\n"));
}

QTEST_GUILESS_MAIN(TstInstalacion)
#include "tst_instalacion.moc"
