#include "store/instanciaunica.h"
#include "store/texto.h"
#include "summary/lineacomandos.h"
#include "support/basedeprueba.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using prueba::BaseDePrueba;

struct Declaracion
{
    QString periodoCab;
    QString efectivo;
    QString cheque;
    QString banco;
    QString numeroCheque;
    QString rectifica;
    QString periodoDet;
    QString casilla406;
    QString casilla410;
};
Q_DECLARE_METATYPE(Declaracion)

namespace {

QByteArray leer(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe: ") + ruta.toUtf8() + '>';
}

QString referencia(const QString &nombre)
{
    return qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/summary/datos/") + nombre;
}


// A host that sent declarations of one airline: document types, banks, the
// taxpayer and the declaration's header and boxes.
void preparar(BaseDePrueba &base, const Declaracion &d)
{
    base.ejecutar(QStringLiteral("INSERT INTO PARAM VALUES ('044','6',?,'')"),
                  {QStringLiteral("REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 000001000001100111011111"
                                  "                                           0 5 0")});
    base.ejecutar(QStringLiteral("INSERT INTO PARAM VALUES ('004','05',?,'')"),
                  {QStringLiteral("BANCO INTERAMERICANO DE FINANZAS").leftJustified(37, u' ') + QStringLiteral("BANBIF")});
    base.agregarContribuyente(QStringLiteral("20100070970"), QStringLiteral("AEROLÍNEAS DEL SUR S.A."),
                              QStringLiteral("PRUEBA"));
    base.ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, fec_pro, rectifica, "
                                 "bcolibrad, nrocheque, cheque, efectivo, estado, norden, cNumero) "
                                 "VALUES (6,'20100070970',?,'0517','2026-11-30',?,?,?,?,?,1,'','000000')"),
                  {d.periodoCab, d.rectifica, d.banco, d.numeroCheque, d.cheque, d.efectivo});
    for (const auto &[casilla, valor] : {std::pair{QStringLiteral("406"), d.casilla406},
                                         std::pair{QStringLiteral("410"), d.casilla410},
                                         std::pair{QStringLiteral("401"), QStringLiteral("999")}}) {
        if (valor.isNull())
            continue;
        base.ejecutar(QStringLiteral("INSERT INTO DET (doc_id_d, tip_doc_d, periodo, Formulario, Casilla, i_valor, "
                                     "idcasilla, estado, cNumero) VALUES ('20100070970',6,?,'0517',?,?,'01',0,'000000')"),
                      {d.periodoDet, casilla, valor});
    }
}

struct Ejecucion
{
    int codigo = -1;
    QString error;
};

Ejecucion ejecutar(const BaseDePrueba &base, const QStringList &argumentos, const QString &carpetaRuntime)
{
    QProcess proceso;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), base.carpeta());
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), carpetaRuntime);
    entorno.insert(QStringLiteral("KV_AHORA"), QStringLiteral("2026-12-07T09:05:07"));
    proceso.setProcessEnvironment(entorno);
    proceso.start(qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/kvr517"), argumentos);
    if (!proceso.waitForFinished(60000))
        return {};
    return {proceso.exitCode(), QString::fromLocal8Bit(proceso.readAllStandardError())};
}

} // namespace

class TstResumenEnvio : public QObject
{
    Q_OBJECT
    QTemporaryDir m_runtime;

private Q_SLOTS:
    void lineaDeComandos()
    {
        QStringList faltantes;
        LineaComandos l = LineaComandos::leer(QStringLiteral("0620100070970    0517200301112345678"), &faltantes);
        QCOMPARE(l.tipoDocumento, QStringLiteral("06"));
        QCOMPARE(l.numeroDocumento, QStringLiteral("20100070970    "));
        QCOMPARE(l.formulario, QStringLiteral("0517"));
        QCOMPARE(l.periodo, QStringLiteral("200301"));
        QCOMPARE(l.indicador, QStringLiteral("1"));
        QCOMPARE(l.numeroEnvio, QStringLiteral("12345678"));
        QCOMPARE(l.nombreListado(), QStringLiteral("0517200301112345678"));
        QVERIFY(faltantes.isEmpty());

        l = LineaComandos::leer(QStringLiteral("0620100070970    05172003"), &faltantes);
        QCOMPARE(l.periodo, QStringLiteral("2003  "));
        QCOMPARE(l.numeroEnvio, QStringLiteral("        "));
        QCOMPARE(faltantes, QStringList({QStringLiteral("periodo"), QStringLiteral("indicador"),
                                         QStringLiteral("número de envío")}));
    }

    void resumen_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("linea");
        QTest::addColumn<Declaracion>("declaracion");
        // periodoCab, efectivo, cheque, banco, numeroCheque, rectifica, periodoDet, 406, 410
        QTest::newRow("cash") << "efectivo" << "0620100070970    0517200611012345678"
                              << Declaracion{"200611", "5175", " ", " ", " ", "0", "200611", "5175", "5175"};
        QTest::newRow("cheque") << "cheque" << "0620100070970    0517200611000000042"
                                << Declaracion{"200611", "", "5175", "05", "00123456", "0", "200611", "5175", "5175"};
        QTest::newRow("neither") << "ninguno" << "0620100070970    0517200611000000043"
                                 << Declaracion{"200611", " ", " ", " ", " ", "0", "200611", "0", QString()};
        QTest::newRow("rectifying") << "rectifica" << "0620100070970    0517200611200000044"
                                    << Declaracion{"200611", "1234567", " ", " ", " ", "1", "200611", "-500", "1234567"};
        QTest::newRow("January 2003") << "enero2003" << "0620100070970    0517200301112345678"
                                      << Declaracion{"200301", "1234", " ", " ", " ", "0", "200301", "1234", "1234"};
        QTest::newRow("yearly period") << "anual" << "0620100070970    0517200300000000045"
                                       << Declaracion{"2003", "1234", " ", " ", " ", "0", "200300", "1234", "1234"};
    }
    void resumen()
    {
        QFETCH(QString, caso);
        QFETCH(QString, linea);
        QFETCH(Declaracion, declaracion);
        BaseDePrueba base;
        preparar(base, declaracion);

        const Ejecucion r = ejecutar(base, {linea}, m_runtime.path());
        QCOMPARE(r.error, QString());
        QCOMPARE(r.codigo, 0);

        const QString nombre = LineaComandos::leer(linea).nombreListado();
        if (qEnvironmentVariableIsSet("KV_ACTUALIZAR_REFERENCIAS")) {
            // Deliberate only: rewrites the stored references from this run.
            const QList<std::pair<QString, QString>> copias = {
                {QStringLiteral("RPT/00000001.PRN"), caso + QStringLiteral(".PRN")},
                {QStringLiteral("RPT/") + nombre + QStringLiteral(".PRN"), caso + QStringLiteral("-listado.PRN")},
                {QStringLiteral("RPT/") + nombre + QStringLiteral(".txt"), caso + QStringLiteral("-listado.txt")},
                {QStringLiteral("Trace.txt"), caso + QStringLiteral("-Trace.txt")}};
            for (const auto &[desde, hacia] : copias) {
                QFile::remove(referencia(hacia));
                QFile::copy(base.carpeta() + desde, referencia(hacia));
            }
        }
        QCOMPARE(leer(base.carpeta() + QStringLiteral("RPT/00000001.PRN")), leer(referencia(caso + QStringLiteral(".PRN"))));
        QCOMPARE(leer(base.carpeta() + QStringLiteral("RPT/") + nombre + QStringLiteral(".PRN")),
                 leer(referencia(caso + QStringLiteral("-listado.PRN"))));
        const QByteArray texto = leer(base.carpeta() + QStringLiteral("RPT/") + nombre + QStringLiteral(".txt"));
        QCOMPARE(texto, leer(referencia(caso + QStringLiteral("-listado.txt"))));
        QCOMPARE(leer(base.carpeta() + QStringLiteral("TMP/") + nombre + QStringLiteral(".TXT")), texto);
        QCOMPARE(leer(base.carpeta() + QStringLiteral("Trace.txt")), leer(referencia(caso + QStringLiteral("-Trace.txt"))));

        QSqlQuery q(base.db());
        QVERIFY(q.exec(QStringLiteral("SELECT CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d FROM SPOOL")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ZEN002"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("000001"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("00000001.PRN"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("2026-12-07 09:05:07"));
        QCOMPARE(q.value(4).toString(), QStringLiteral("PRUEBA"));
        QCOMPARE(q.value(5).toInt(), 6);
        QCOMPARE(q.value(6).toString(), QStringLiteral("20100070970"));
        QVERIFY(!q.next());
    }

    void sinCabeceraLosArchivosQuedanVacios()
    {
        BaseDePrueba base;
        const Ejecucion r = ejecutar(base, {QStringLiteral("0620100070970    0517200611012345678")}, m_runtime.path());
        QCOMPARE(r.codigo, 0);
        QCOMPARE(leer(base.carpeta() + QStringLiteral("RPT/00000001.PRN")), QByteArray());
        QCOMPARE(leer(base.carpeta() + QStringLiteral("RPT/0517200611012345678.PRN")), QByteArray());
        QCOMPARE(leer(base.carpeta() + QStringLiteral("TMP/0517200611012345678.TXT")), QByteArray());
        QCOMPARE(base.contar(QStringLiteral("SPOOL")), 1);
    }

    void documentoConApostrofeNoCambiaNada()
    {
        BaseDePrueba base;
        preparar(base, Declaracion{"200611", "5175", " ", " ", " ", "0", "200611", "5175", "5175"});
        const QString linea = QStringLiteral("061' OR '1'='1   0517200611012345678");
        QCOMPARE(linea.size(), 36);
        const Ejecucion r = ejecutar(base, {linea}, m_runtime.path());
        QCOMPARE(r.codigo, 0);
        QCOMPARE(leer(base.carpeta() + QStringLiteral("RPT/00000001.PRN")), QByteArray());
        QCOMPARE(base.contar(QStringLiteral("CAB")), 1);
        QCOMPARE(base.contar(QStringLiteral("DET")), 3);
        QCOMPARE(base.contar(QStringLiteral("CONT")), 1);
        QVERIFY(leer(base.carpeta() + QStringLiteral("Trace.txt")).contains("Doc_id_d='1' OR '1'='1'"));
    }

    void lineaCortaAvisaYEscribe()
    {
        BaseDePrueba base;
        preparar(base, Declaracion{"200611", "5175", " ", " ", " ", "0", "200611", "5175", "5175"});
        const Ejecucion r = ejecutar(base, {QStringLiteral("0620100070970    0517200611")}, m_runtime.path());
        QCOMPARE(r.codigo, 0);
        QVERIFY2(r.error.contains(QStringLiteral("indicador, número de envío")), qPrintable(r.error));
        // The listing is named after what was given, blanks in place of the rest.
        QVERIFY(QFile::exists(base.carpeta() + QStringLiteral("RPT/0517200611         .PRN")));
        QVERIFY(leer(base.carpeta() + QStringLiteral("RPT/00000001.PRN")).contains("RAZON SOCIAL"));
    }

    void segundaCopiaNoCorre()
    {
        BaseDePrueba base;
        const QByteArray anterior = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        InstanciaUnica primera(QStringLiteral("kvr517"));
        QCOMPARE(primera.adquirir(), InstanciaUnica::Estado::Adquirida);
        qputenv("XDG_RUNTIME_DIR", anterior);
        const Ejecucion r = ejecutar(base, {QStringLiteral("0620100070970    0517200611012345678")}, m_runtime.path());
        QVERIFY(r.codigo != 0);
        QCOMPARE(r.error.trimmed(),
                 QStringLiteral("Presentación Telemática: La aplicación ya se encuentra en Ejecución"));
        QCOMPARE(base.contar(QStringLiteral("SPOOL")), 0);
    }

    // The listing's name comes from the command line: a name that climbed out
    // of the reports folder emptied a file two folders up, and one made of
    // "." and "/" emptied a registered report.
    void listadoFueraDeLaCarpetaDeReportes_data()
    {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<QString>("campos");
        QTest::newRow("two folders up") << "0620100070970    ../..//////////keep"
                                        << QString::fromUtf8("formulario, periodo, indicador, número de envío");
        QTest::newRow("registered report") << "0620100070970    /./././././00000001"
                                           << QStringLiteral("formulario, periodo, indicador");
    }
    void listadoFueraDeLaCarpetaDeReportes()
    {
        QFETCH(QString, linea);
        QFETCH(QString, campos);
        // The host lives two folders below a folder the test watches whole.
        QTemporaryDir exterior;
        const QString encima = exterior.path() + QStringLiteral("/encima");
        QVERIFY(QDir().mkpath(encima));
        const QByteArray tmpAnterior = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(encima));
        BaseDePrueba base;
        qputenv("TMPDIR", tmpAnterior);
        QVERIFY(base.carpeta().startsWith(encima));
        preparar(base, Declaracion{"200611", "5175", " ", " ", " ", "0", "200611", "5175", "5175"});
        for (const QString &archivo : {encima + QStringLiteral("/keep.PRN"), base.carpeta() + QStringLiteral("RPT/00000001.PRN")}) {
            QFile f(archivo);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("contenido que se conserva\r\n");
        }
        base.ejecutar(QStringLiteral("INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d) "
                                     "VALUES ('ZEN001','000001','00000001.PRN','2026-12-01 08:00:00','PRUEBA',6,'20100070970')"));
        const auto foto = [&] {
            QMap<QString, QByteArray> r;
            QDirIterator it(exterior.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString ruta = it.next();
                if (!ruta.endsWith(u".db-shm") && !ruta.endsWith(u".db-wal") && !ruta.endsWith(u".db"))
                    r.insert(ruta, leer(ruta));
            }
            return r;
        };
        const auto antes = foto();

        const Ejecucion r = ejecutar(base, {linea}, m_runtime.path());
        QVERIFY(r.codigo != 0);
        QCOMPARE(r.error.trimmed(),
                 QString::fromUtf8("Presentación Telemática: La línea de comandos no es válida; solo se admiten "
                                   "letras, dígitos y blancos en: ")
                     + campos);
        QCOMPARE(foto(), antes);
        QCOMPARE(base.contar(QStringLiteral("SPOOL")), 1);
    }

    void baseBloqueada()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("a database file without write permission");
        QFile::setPermissions(base.rutaBase(), QFileDevice::ReadOwner);
        const Ejecucion r = ejecutar(base, {QStringLiteral("0620100070970    0517200611012345678")}, m_runtime.path());
        QFile::setPermissions(base.rutaBase(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(r.codigo != 0);
        QCOMPARE(r.error.trimmed(), QStringLiteral("Error de Conección:  3051- Base esta bloqueda"));
    }
};

QTEST_GUILESS_MAIN(TstResumenEnvio)
#include "tst_resumenenvio.moc"
