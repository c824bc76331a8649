// The form tables installer as the host runs it: the real program on a
// fresh host database, checked against the stored layouts and rows the other
// programs and the host rely on.
#include "installer/instalador.h"
#include "store/transaccion.h"
#include "support/basedeprueba.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace kv;
using prueba::BaseDePrueba;

namespace {

struct Corrida
{
    int estado = -1;
    QString errores; // what the program wrote on standard error
};

std::unique_ptr<BaseDePrueba> baseNueva()
{
    auto b = std::make_unique<BaseDePrueba>(
        BaseDePrueba::Opciones { .tablasModulo = false, .parametrosInstalados = false });
    if (!b->valida())
        qFatal("test database could not be made");
    return b;
}

QString rutaPrograma(const char *nombre)
{
    return qEnvironmentVariable("KV_BIN_DIR") + u'/' + QLatin1String(nombre);
}

void ponerArchivoEnvio(const BaseDePrueba &b, const QByteArray &contenido)
{
    QFile f(b.carpeta() + QStringLiteral("tmp/env517.txt"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenido);
}

QByteArray archivoEnvioEntregado()
{
    QFile f(rutaPrograma("env517.txt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs kvt517 on the test host (XDG_CONFIG_HOME already names its KV000.INI),
// with the shipped layout file in tmp/ unless the test put its own there.
Corrida correr(const BaseDePrueba &b, const QStringList &argumentos = {})
{
    if (!QFile::exists(b.carpeta() + QStringLiteral("tmp/env517.txt")))
        ponerArchivoEnvio(b, archivoEnvioEntregado());
    QProcess p;
    p.start(rutaPrograma("kvt517"), argumentos);
    if (!p.waitForFinished(60000))
        return {};
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
        QString::fromUtf8(p.readAllStandardError()) };
}

// Every row of a table, each column as the engine quotes it ('text', 12,
// NULL), so that a number stored as text or an empty text stored as NULL
// shows.
QStringList filas(const BaseDePrueba &b, const QString &tabla, const QString &columnas, const QString &orden)
{
    QSqlQuery q(b.db());
    q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columnas, tabla, orden));
    QStringList r;
    while (q.next()) {
        QStringList citadas;
        for (int i = 0; i < q.record().count(); ++i) {
            const QVariant v = q.value(i);
            if (v.isNull())
                citadas << QStringLiteral("NULL");
            else if (v.typeId() == QMetaType::QString)
                citadas << u'\'' + v.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
            else
                citadas << v.toString();
        }
        r << citadas.join(u'|');
    }
    return r;
}

QStringList columnas(const BaseDePrueba &b, const QString &tabla)
{
    QStringList r;
    for (const Columna &c : columnasDeclaradas(b.db(), tabla))
        r << c.nombre + u' ' + c.tipo
                + (c.predeterminado.isEmpty() ? QString() : QStringLiteral(" =") + c.predeterminado);
    return r;
}

// "PK_x unique(a,b,c)" for the table's indexes (a server spells names in
// lower case).
QStringList indices(const BaseDePrueba &b, const QString &tabla)
{
    QStringList r;
    if (b.motor() == Motor::PostgreSQL) {
        QSqlQuery q(b.db());
        q.prepare(QStringLiteral(
            "SELECT i.relname, x.indisunique, array_to_string(ARRAY(SELECT a.attname FROM unnest(x.indkey) "
            "WITH ORDINALITY AS k(n, o) JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.n "
            "ORDER BY k.o), ',') FROM pg_class t JOIN pg_index x ON x.indrelid = t.oid "
            "JOIN pg_class i ON i.oid = x.indexrelid WHERE lower(t.relname) = lower(?) "
            "AND t.relnamespace = 'public'::regnamespace ORDER BY i.relname"));
        q.addBindValue(tabla);
        q.exec();
        while (q.next())
            r << q.value(0).toString() + (q.value(1).toBool() ? QStringLiteral(" unique(") : QStringLiteral(" ("))
                    + q.value(2).toString() + u')';
        return r;
    }
    QSqlQuery l(b.db());
    l.exec(QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list('%1') ORDER BY name").arg(tabla));
    while (l.next()) {
        QStringList cols;
        QSqlQuery i(b.db());
        i.exec(QStringLiteral("SELECT name FROM pragma_index_info('%1') ORDER BY seqno")
                   .arg(l.value(0).toString()));
        while (i.next())
            cols << i.value(0).toString();
        r << l.value(0).toString() + (l.value(1).toInt() ? QStringLiteral(" unique(") : QStringLiteral(" ("))
                + cols.join(u',') + u')';
    }
    return r;
}

int cantidadTablas(const BaseDePrueba &b)
{
    if (b.motor() == Motor::PostgreSQL)
        return b.valor(QStringLiteral("SELECT count(*) FROM pg_class WHERE relnamespace = 'public'::regnamespace"))
            .toInt();
    return b.valor(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt();
}

// The names as the engine keeps them: a server folds unquoted names to
// lower case.
QStringList comoLosGuarda(const BaseDePrueba &b, QStringList nombres)
{
    if (b.motor() == Motor::PostgreSQL) {
        for (QString &n : nombres)
            n = n.toLower();
    }
    return nombres;
}

const QString kVuelos = QStringLiteral(
    "tip_doc_d Byte,doc_id_d Text(15),periodo Text(6),formulario Text(4),%1fec_arribo Date,cod_vuelo "
    "Text(15),"
    "num_tripulantes Text(5),num_personal Text(5),num_transito Text(5),num_arrfor Text(5),num_diplo Text(5),"
    "num_extrad Text(5),num_deport Text(5),num_adqanterior Text(5),num_afectos Text(5),mto_dolar Text(15),"
    "cnumero Text(6)");
const QString kPagos = QStringLiteral(
    "tip_doc_d Byte,doc_id_d Text(15),Periodo Text(6),formulario Text(4),semana Byte =0,%1cod_boleta Text(4),"
    "num_operacion Text(8),cod_tributo Text(6),fec_pago Date,mto_soles Text(15),tip_cambio Text(5),"
    "mto_dolar Text(15),cnumero Text(6)");

const QStringList kParametros = {
    "'965'|'0517'|'QDL 0517 ZENTOR'|'008'",
    "'965'|'5841'|'BOLETA DE PAGO CON DOCUMENTOS VALORADOS'|'001'",
    "'965'|'5842'|'BOLETA DE PAGO'|'002'",
    "'965'|'5843'|'BOLETA DE PAGO'|'003'",
    "'965'|'5851'|'BOLETA DE PAGO CON DOC. VALORADOS(PRICO)'|'004'",
    "'965'|'5852'|'BOLETA DE PAGO'|'005'",
    "'965'|'5853'|'BOLETA DE PAGO'|'006'",
    "'965'|'5871'|'BOLETA DE PAGO - VIRTUAL'|'007'",
    "'966'|'20030217'|'0015.00'|'001'",
    "'981'|'0517'|'966'|'001'",
    "'992'|'0517'|'1'|''",
    "'996'|'226'|'F517DETVP      R 1000   6'|''",
    "'996'|'227'|'HF517DETVP     R 1000   7'|''",
    "'996'|'228'|'F517PAGPRE     R 1000   8'|''",
    "'996'|'229'|'HF517PAGPRE    R 1000   9'|''",
};
const QStringList kReportes = {
    QString::fromUtf8("'ZEN001'|'Zentor 0517 – Declaración'|1"),
    QString::fromUtf8("'ZEN002'|'Reporte de Envío 2003 -  0517'|1"),
    "'ZEN003'|'0517 Importacion'|1",
};
const QStringList kEnvioEntregado = {
    "'0517'|'F517DETVP'|'HF517DETVP'|''|1|1|1|1|1|1|0|0|0",
    "'0517'|'F517PAGPRE'|'HF517PAGPRE'|''|2|0|1|1|1|1|0|0|1",
};
const QString kColumnasEnvio = QStringLiteral("formulario,tabla_o,tabla_d,tabla_ext,indice,obliga,c_tip_doc_"
                                              "d,c_doc_id_d,c_Formulario,c_periodo,c_estado,"
                                              "c_envio,c_semana");

QStringList filasEnvio(const BaseDePrueba &b)
{
    return filas(b, QStringLiteral("envio_t"), kColumnasEnvio, "formulario, tabla_o");
}

} // namespace

class TstInstalador : public QObject
{
    Q_OBJECT

    std::unique_ptr<BaseDePrueba> m_instalada; // one host after one run, for the read-only checks
    Corrida m_primera;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(rutaPrograma("kvt517")), "kvt517 not built");
        QVERIFY2(!archivoEnvioEntregado().isEmpty(), "env517.txt not next to the programs");
        m_instalada = baseNueva();
        m_primera = correr(*m_instalada);
    }

    // The host reads the layout as Windows-era text.
    void archivoEntregado()
    {
        QByteArray contenido = archivoEnvioEntregado();
        QVERIFY(contenido.endsWith("|\r\n"));
        QCOMPARE(contenido.replace("\r\n", "").indexOf('\n'), -1);
        QVERIFY(std::all_of(contenido.begin(), contenido.end(), [](char c) { return c > 0 && c != '\r'; }));
    }

    void primeraEjecucionCallada()
    {
        QCOMPARE(m_primera.errores, QString());
        QCOMPARE(m_primera.estado, 0);
    }

    void tablasDelModulo_data()
    {
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QString>("clave");
        // The key names the columns as the table declares them.
        const QString v = QStringLiteral("tip_doc_d,doc_id_d,periodo,formulario,%1fec_arribo,cod_vuelo");
        const QString p
            = QStringLiteral("tip_doc_d,doc_id_d,Periodo,formulario,semana,%1cod_boleta,num_operacion,"
                             "cod_tributo,fec_pago");
        QTest::newRow("F517DETVP") << "F517DETVP" << kVuelos.arg("") << v.arg("");
        QTest::newRow("HF517DETVP") << "HF517DETVP" << kVuelos.arg("correl Text(3),") << v.arg("correl,");
        QTest::newRow("TMPF517DETVP") << "TMPF517DETVP" << kVuelos.arg("") << v.arg("");
        QTest::newRow("F517PAGPRE") << "F517PAGPRE" << kPagos.arg("") << p.arg("");
        QTest::newRow("HF517PAGPRE") << "HF517PAGPRE" << kPagos.arg("correl Text(3),") << p.arg("correl,");
        QTest::newRow("TMPF517PAGPRE") << "TMPF517PAGPRE" << kPagos.arg("") << p.arg("");
    }
    void tablasDelModulo()
    {
        QFETCH(QString, tabla);
        QFETCH(QString, columnas);
        QFETCH(QString, clave);
        QCOMPARE(::columnas(*m_instalada, tabla), columnas.split(u','));
        QCOMPARE(indices(*m_instalada, tabla),
            comoLosGuarda(*m_instalada, { QStringLiteral("PK_%1 unique(%2)").arg(tabla, clave) }));
    }

    void filasDelModulo()
    {
        QCOMPARE(filas(*m_instalada, "PARAM", "Numero,Argumento,Funcion,Correl_param", "Numero, Argumento"),
            kParametros);
        QCOMPARE(filas(*m_instalada, "Reportes", "CodRep,DescRep,Activo", "CodRep"), kReportes);
        QCOMPARE(filasEnvio(*m_instalada), kEnvioEntregado);
    }

    // A second run on a host whose rows were changed since: every row is put
    // back in place, nothing is added, nothing is created, nothing is said,
    // and rows of other forms stay as they are.
    void segundaEjecucion()
    {
        auto b = baseNueva();
        QCOMPARE(correr(*b).estado, 0);
        b->ejecutar("UPDATE PARAM SET Funcion='0020.00', Correl_param='009' WHERE Numero='966'");
        b->ejecutar("UPDATE Reportes SET DescRep='otro' WHERE CodRep='ZEN002'");
        b->ejecutar("UPDATE envio_t SET tabla_d='X', c_semana=7 WHERE tabla_o='F517PAGPRE'");
        b->ejecutar("INSERT INTO envio_t VALUES ('0621','F517DETVP','Y','',9,9,9,9,9,9,9,9,9)");
        b->ejecutar("INSERT INTO F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) "
                    "VALUES (6,'20100000001','202601','0517','2026-01-05','LA2401')");
        const int tablas = cantidadTablas(*b);
        // The row is changed where it is, not removed and added again.
        const QString fila = b->motor() == Motor::SQLite ? QStringLiteral("rowid") : QStringLiteral("xmin");
        const QVariant filaTasa = b->valor("SELECT " + fila + " FROM PARAM WHERE Numero='966'");

        const Corrida segunda = correr(*b);
        QCOMPARE(segunda.errores, QString());
        QCOMPARE(segunda.estado, 0);
        QCOMPARE(cantidadTablas(*b), tablas);
        QCOMPARE(
            filas(*b, "PARAM", "Numero,Argumento,Funcion,Correl_param", "Numero, Argumento"), kParametros);
        if (b->motor() == Motor::SQLite)
            QCOMPARE(b->valor("SELECT " + fila + " FROM PARAM WHERE Numero='966'"), filaTasa);
        QCOMPARE(filas(*b, "Reportes", "CodRep,DescRep,Activo", "CodRep"), kReportes);
        QCOMPARE(
            filasEnvio(*b), kEnvioEntregado + QStringList { "'0621'|'F517DETVP'|'Y'|''|9|9|9|9|9|9|9|9|9" });
        QCOMPARE(b->contar("F517DETVP"), 1);
    }

    void archivoEnvio_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QString>("errores");
        const QByteArray buena = "0517|T1|H1|E1|1|0|1|1|1|1|0|0|0|\r\n";
        const QString t1 = "'0517'|'T1'|'H1'|'E1'|1|0|1|1|1|1|0|0|0";
        const auto omitida = [](int n, const char *motivo, const char *linea) {
            return QString::fromUtf8("Mensaje: Línea %1 de env517.txt omitida, %2: %3\n")
                .arg(n)
                .arg(QString::fromUtf8(motivo), QString::fromUtf8(linea));
        };
        QTest::newRow("fin de línea LF, sin fin en la última")
            << QByteArray("0517|T1|H1|E1|1|0|1|1|1|1|0|0|0|\n0517|T2|H2||2|1|1|0|0|1|1|1|1|")
            << QStringList { t1, "'0517'|'T2'|'H2'|''|2|1|1|0|0|1|1|1|1" } << QString();
        QTest::newRow("línea en blanco cierra el archivo") << buena + "\r\n0517|T2|H2||2|1|1|0|0|1|1|1|1|\r\n"
                                                           << QStringList { t1 } << QString();
        QTest::newRow("campos recortados, destino vacío, apóstrofo, código de página")
            << QByteArray("x|  O'T  ||  \xd1"
                          "AME  | 3|2.5|255|1E2|(4)|0|1|2|3|\r\n")
            << QStringList { QString::fromUtf8("'0517'|'O''T'|' '|'ÑAME'|3|2|255|100|-4|0|1|2|3") }
            << QString();
        QTest::newRow("destino con blancos se guarda como está")
            << QByteArray("x|T1| H1 ||0|0|0|0|0|0|0|0|1.5|")
            // A Long column: the file keeps the number as given, a server
            // rounds it to a whole number.
            << QStringList { prueba::motorDePrueba() == Motor::SQLite
                                 ? "'0517'|'T1'|' H1 '|''|0|0|0|0|0|0|0|0|1.5"
                                 : "'0517'|'T1'|' H1 '|''|0|0|0|0|0|0|0|0|2" }
            << QString();
        QTest::newRow("pocos separadores")
            << QByteArray("x|T0|H0||1|0|1|1|1|1|0|0|0\r\n") + buena << QStringList { t1 }
            << omitida(1, "tiene menos de 13 campos terminados en \"|\"", "x|T0|H0||1|0|1|1|1|1|0|0|0");
        QTest::newRow("número que no es número")
            << buena + "x|T2|H2||1|0|1|1|uno|1|0|0|0|\r\n0517|T3|H3||1|0|1|1|1|1|0|0|0|\r\n"
            << QStringList { t1, "'0517'|'T3'|'H3'|''|1|0|1|1|1|1|0|0|0" }
            << omitida(2, "el campo 9 no es numérico", "x|T2|H2||1|0|1|1|uno|1|0|0|0|");
        QTest::newRow("byte fuera de rango y número vacío")
            << QByteArray("x|T2|H2||256|0|1|1|1|1|0|0|0|\r\nx|T3|H3||1|0|1|1|1||0|0|0|\r\n") + buena
            << QStringList { t1 }
            << omitida(1, "el campo 5 no es un número entre 0 y 255", "x|T2|H2||256|0|1|1|1|1|0|0|0|")
                + omitida(2, "el campo 10 no es numérico", "x|T3|H3||1|0|1|1|1||0|0|0|");
        QTest::newRow("tabla de origen vacía")
            << QByteArray("x| |H2||1|0|1|1|1|1|0|0|0|\r\n") + buena << QStringList { t1 }
            << omitida(1, "el campo 2 (tabla de origen) está vacío", "x| |H2||1|0|1|1|1|1|0|0|0|");
    }
    void archivoEnvio()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(QStringList, filas);
        QFETCH(QString, errores);
        auto b = baseNueva();
        ponerArchivoEnvio(*b, contenido);
        const Corrida c = correr(*b);
        QCOMPARE(c.errores, errores);
        QCOMPARE(c.estado, 0);
        QCOMPARE(filasEnvio(*b), filas);
        QCOMPARE(b->contar("PARAM"), kParametros.size());
    }

    void sinArchivoEnvio()
    {
        auto b = baseNueva();
        QProcess p;
        p.start(rutaPrograma("kvt517"));
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
            QString::fromUtf8(
                "Mensaje: No se encontró el archivo %1tmp/env517.txt: no se instaló la tabla de "
                "envío\n")
                .arg(b->carpeta()));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(b->contar("PARAM"), kParametros.size());
        QCOMPARE(b->contar("envio_t"), 0);
    }

    // Tables that exist under any spelling are kept as they are; a payment
    // table whose week has no default gets it, with its rows, key and other
    // indexes kept.
    void tablasExistentes_data()
    {
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("crear");
        QTest::addColumn<QStringList>("columnasDespues");
        QTest::addColumn<QStringList>("indicesDespues");
        const QString pagos = QStringLiteral("tip_doc_d Byte, doc_id_d Text(15), Periodo Text(6), formulario "
                                             "Text(4), semana Byte, cod_boleta Text(4), "
                                             "num_operacion Text(8), cod_tributo Text(6), fec_pago Date, "
                                             "mto_soles Text(15), tip_cambio Text(5), "
                                             "mto_dolar Text(15), cnumero Text(6)");
        const QString clave
            = "tip_doc_d,doc_id_d,Periodo,formulario,semana,cod_boleta,num_operacion,cod_tributo,fec_pago";
        QTest::newRow("vuelos en minúsculas")
            << "f517detvp"
            << "CREATE TABLE f517detvp (tip_doc_d Byte, doc_id_d Text(15), cnumero Text(6))"
            << QStringList { "tip_doc_d Byte", "doc_id_d Text(15)", "cnumero Text(6)" } << QStringList {};
        QTest::newRow("pagos sin predeterminado")
            << "F517PAGPRE"
            << "CREATE TABLE F517PAGPRE (" + pagos + ")" << kPagos.arg("").split(u',')
            << QStringList { "PK_F517PAGPRE unique(" + clave + ")", "porFecha (fec_pago)" };
        QTest::newRow("histórico de pagos en minúsculas, semana NULL")
            << "hf517pagpre"
            << "CREATE TABLE hf517pagpre (tip_doc_d Byte, doc_id_d Text(15), Periodo Text(6), semana Byte "
               "DEFAULT "
               "NULL, correl Text(3) NOT NULL DEFAULT '001', PRIMARY KEY (doc_id_d, correl))"
            << QStringList { "tip_doc_d Byte", "doc_id_d Text(15)", "Periodo Text(6)", "semana Byte =0",
                   "correl Text(3) ='001'" }
            << QStringList { "porFecha (Periodo)", "sqlite_autoindex_hf517pagpre_1 unique(doc_id_d,correl)" };
    }
    void tablasExistentes()
    {
        QFETCH(QString, tabla);
        QFETCH(QString, crear);
        QFETCH(QStringList, columnasDespues);
        QFETCH(QStringList, indicesDespues);
        auto b = baseNueva();
        if (b->motor() != Motor::SQLite)
            QSKIP("the embedded file's tables as older hosts declared them; see semanaEnElServidor");
        b->ejecutar(crear);
        const bool pagos = tabla.contains("PAGPRE", Qt::CaseInsensitive);
        if (tabla == "F517PAGPRE")
            b->ejecutar(
                "CREATE UNIQUE INDEX PK_F517PAGPRE ON F517PAGPRE (tip_doc_d,doc_id_d,Periodo,formulario,"
                "semana,cod_boleta,num_operacion,cod_tributo,fec_pago)");
        if (pagos) {
            b->ejecutar(QStringLiteral("CREATE INDEX porFecha ON %1 (%2)")
                            .arg(tabla, tabla == "F517PAGPRE" ? "fec_pago" : "Periodo"));
            b->ejecutar(QStringLiteral("INSERT INTO %1 (tip_doc_d, doc_id_d, Periodo, semana) VALUES "
                                       "(6,'20100000001','202601',2),(6,'O''Brien','202602',NULL)")
                            .arg(tabla));
        }
        const QStringList antes
            = pagos ? filas(*b, tabla, "tip_doc_d,doc_id_d,Periodo,semana", "doc_id_d") : QStringList();

        const Corrida c = correr(*b);
        QCOMPARE(c.errores, QString());
        QCOMPARE(c.estado, 0);
        QCOMPARE(b->contar("sqlite_master", "type='table' AND upper(name)=upper(?)", { tabla }), 1);
        QCOMPARE(
            b->valor("SELECT name FROM sqlite_master WHERE type='table' AND upper(name)=upper(?)", { tabla })
                .toString(),
            tabla);
        QCOMPARE(columnas(*b, tabla), columnasDespues);
        QCOMPARE(indices(*b, tabla), indicesDespues);
        if (pagos) {
            QCOMPARE(filas(*b, tabla, "tip_doc_d,doc_id_d,Periodo,semana", "doc_id_d"), antes);
            b->ejecutar(
                QStringLiteral("INSERT INTO %1 (tip_doc_d, doc_id_d, Periodo) VALUES (6,'3','202603')")
                    .arg(tabla));
            QCOMPARE(b->valor(QStringLiteral("SELECT quote(semana) FROM %1 WHERE doc_id_d='3'").arg(tabla))
                         .toString(),
                "0");
        }
        QCOMPARE(b->contar("sqlite_master", "name LIKE 'kv_nueva%'"), 0);
    }

    // On a server the week's default is set in place, rows and key kept.
    void semanaEnElServidor()
    {
        auto b = baseNueva();
        if (b->motor() != Motor::PostgreSQL)
            QSKIP("a server's tables");
        const Tabla *t = tablaModulo(QStringLiteral("F517PAGPRE"));
        QString crear = t->sentenciaCrear(Motor::PostgreSQL);
        crear.replace(QStringLiteral(" DEFAULT 0"), QString());
        b->ejecutar(crear);
        for (const QString &c : t->sentenciasComentario(Motor::PostgreSQL))
            b->ejecutar(c);
        b->ejecutar(t->sentenciaClave(Motor::PostgreSQL));
        b->ejecutar("INSERT INTO F517PAGPRE (tip_doc_d, doc_id_d, Periodo, semana) VALUES (6,'1','202601',2)");
        const Corrida c = correr(*b);
        QCOMPARE(c.errores, QString());
        QCOMPARE(c.estado, 0);
        QCOMPARE(columnas(*b, "F517PAGPRE"), kPagos.arg("").split(u','));
        b->ejecutar("INSERT INTO F517PAGPRE (tip_doc_d, doc_id_d, Periodo) VALUES (6,'3','202603')");
        QCOMPARE(filas(*b, "F517PAGPRE", "doc_id_d,semana", "doc_id_d"), QStringList({"'1'|2", "'3'|0"}));
    }

    void arranque_data()
    {
        QTest::addColumn<QString>("sysPath");
        QTest::addColumn<QString>("dbName");
        QTest::addColumn<bool>("soloLectura");
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("errores"); // "%1" stands for the system folder
        QTest::addColumn<int>("estado");
        QTest::newRow("sin SysPath") << ""
                                     << "qadelia.db" << false << QStringList {}
                                     << "Mensaje: Debe instalar primero el QDL \n"
                                     << 1;
        QTest::newRow("base sin permiso de escritura")
            << "%1"
            << "qadelia.db" << true << QStringList {}
            << QString::fromUtf8("Error de Conección:  3051- Base de datos esta bloqueda\n") << 2;
        QTest::newRow("base que no existe")
            << "%1"
            << "otra.db" << false << QStringList {}
            << QString::fromUtf8("Error de Conección: unable to open database file\n 14\n") << 2;
        QTest::newRow("separador doble al final, argumentos ignorados")
            << "%1/"
            << "qadelia.db" << false << QStringList { "/x", "otra.db" } << "" << 0;
    }
    void arranque()
    {
        QFETCH(QString, sysPath);
        QFETCH(QString, dbName);
        QFETCH(bool, soloLectura);
        QFETCH(QStringList, argumentos);
        QFETCH(QString, errores);
        QFETCH(int, estado);
        auto b = baseNueva();
        if (b->motor() != Motor::SQLite)
            QSKIP("the system folder's database file");
        ArchivoIni ini(b->rutaIni());
        QVERIFY(ini.escribir("Options", "SysPath", sysPath.replace("%1", b->carpeta())));
        QVERIFY(ini.escribir("Options", "DBName", dbName));
        const auto permisos = QFile::permissions(b->rutaBase());
        if (soloLectura)
            QVERIFY(
                QFile::setPermissions(b->rutaBase(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const Corrida c = correr(*b, argumentos);
        QFile::setPermissions(b->rutaBase(), permisos);
        QCOMPARE(c.errores, errores);
        QCOMPARE(c.estado, estado);
        QCOMPARE(b->contar("PARAM"), estado == 0 ? kParametros.size() : 0);
        QCOMPARE(existeTabla(b->db(), "F517DETVP"), estado == 0);
    }

    // Under another program's write lock the installer used to wait once
    // for every statement (about 105 s), say "database is locked" twenty
    // times and end with 0, so that the host showed nothing.
    void bloqueoDeEscrituraNoEsExito()
    {
        auto b = baseNueva();
        QSqlQuery bloqueo(b->db());
        // Another program in the middle of a write: the file's write lock,
        // or on a server the lock every writing program takes.
        QVERIFY(bloqueo.exec(b->motor() == Motor::SQLite ? "BEGIN IMMEDIATE" : "BEGIN"));
        if (b->motor() == Motor::PostgreSQL)
            QVERIFY(bloqueo.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(Transaccion::kCerrojo)));
        QElapsedTimer reloj;
        reloj.start();
        const Corrida c = correr(*b);
        const qint64 espera = reloj.elapsed();
        QVERIFY(bloqueo.exec("ROLLBACK"));
        QCOMPARE(c.errores,
            QString::fromUtf8("Mensaje: La instalación no terminó: la base de datos %1 está bloqueada por otro "
                              "programa. No se escribió nada; vuelva a instalar cuando se libere.\n")
                .arg(b->ubicacion().descripcion()));
        QCOMPARE(c.estado, 3);
        // One wait for the lock, not one per statement.
        QVERIFY2(espera < 3 * BaseDatos::kEsperaMs, qPrintable(QString::number(espera)));
        QCOMPARE(b->contar("PARAM"), 0);
        QVERIFY(!existeTabla(b->db(), "F517DETVP"));
    }

    // A statement that failed was shown and skipped, but the run still
    // ended with 0.
    void sentenciaFallidaNoEsExito()
    {
        auto b = baseNueva();
        b->ejecutar("DROP TABLE Reportes");
        const Corrida c = correr(*b);
        QCOMPARE(c.estado, 3);
        QVERIFY2(c.errores.endsWith(QString::fromUtf8(
                     "Mensaje: La instalación no terminó bien: 3 sentencia(s) fallaron y se omitieron.\n")),
            qPrintable(c.errores));
        QCOMPARE(c.errores.count(b->motor() == Motor::SQLite ? QStringLiteral("no such table: Reportes")
                                                             : QStringLiteral("relation \"reportes\" does not exist")),
                 3);
        // What could go in went in.
        QCOMPARE(b->contar("PARAM"), kParametros.size());
        QCOMPARE(filasEnvio(*b), kEnvioEntregado);
    }

    // The layout rows are looked up once, by their key without regard to
    // case: a row stored in other letters, or a key repeated in the file, is
    // updated, never added twice.
    void archivoEnvioClaveEnOtrasLetras()
    {
        auto b = baseNueva();
        b->ejecutar("INSERT INTO envio_t VALUES ('0517','f517pagpre','X','',9,9,9,9,9,9,9,9,9)");
        ponerArchivoEnvio(*b,
            archivoEnvioEntregado() + "0517|T1|H1||1|0|1|1|1|1|0|0|0|\r\n0517|t1|H2||2|0|1|1|1|1|0|0|0|\r\n");
        const Corrida c = correr(*b);
        QCOMPARE(c.errores, QString());
        QCOMPARE(c.estado, 0);
        QCOMPARE(filasEnvio(*b),
            (QStringList { "'0517'|'F517DETVP'|'HF517DETVP'|''|1|1|1|1|1|1|0|0|0",
                "'0517'|'T1'|'H2'|''|2|0|1|1|1|1|0|0|0",
                "'0517'|'f517pagpre'|'HF517PAGPRE'|''|2|0|1|1|1|1|0|0|1" }));
    }

    // The installation statements' own error rules, through the class.
    void erroresDeSentencia_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("mensaje"); // title, text; empty when nothing is shown
        QTest::addColumn<int>("icono");
        QTest::newRow("tabla existente") << "CREATE TABLE param (x varchar(1))"
                                         << QStringList { "Mensaje",
                                                "\nSe  detectado que ya existen las tablas del QDL DE "
                                                "FRACCIONAMIENTO Desea Sobreescribirlas?" }
                                         << int(Icono::Pregunta);
        QTest::newRow("clave existente")
            << "CREATE UNIQUE INDEX PK_PARAM ON PARAM (Numero)" << QStringList {} << 0;
        QTest::newRow("otro error") << "INSERT INTO NOEXISTE VALUES (1)"
                                    << QStringList { "Error al Ejecutar Sentencia SQL",
                                           prueba::motorDePrueba() == Motor::SQLite
                                               ? QString::fromUtf8("Error Número : 1\nno such table: NOEXISTE")
                                               : QString::fromUtf8("Error Número : 1\nERROR:  relation \"noexiste\" "
                                                                   "does not exist\nLINE 1: INSERT INTO NOEXISTE VALUES "
                                                                   "(1)\n                    ^\n(42P01) (SQLSTATE 42P01)") }
                                    << int(Icono::Critico);
    }
    void erroresDeSentencia()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, mensaje);
        QFETCH(int, icono);
        auto b = baseNueva();
        b->ejecutar("INSERT INTO PARAM VALUES ('966','20030217','0015.00','001')");
        prueba::MensajesGuionados mensajes;
        mensajes.responder(Respuesta::Si); // even a "yes" overwrites nothing
        QVERIFY(!BaseDatos::abrir(b->ubicacion(), "instalador").hay());
        {
            Instalador instalador(mensajes, b->rutaIni(), "instalador");
            QCOMPARE(instalador.ejecutarSentencia(sql), false);
        }
        BaseDatos::cerrar("instalador");
        QCOMPARE(mensajes.mostrados().size(), mensaje.isEmpty() ? 0 : 1);
        if (!mensaje.isEmpty()) {
            const Mensaje m = mensajes.ultimo();
            QCOMPARE(QStringList({ m.titulo, m.texto }), mensaje);
            QCOMPARE(int(m.icono), icono);
            if (m.icono == Icono::Pregunta) {
                QCOMPARE(int(m.botones), int(Botones::SiNo));
                QCOMPARE(int(m.predeterminada), int(Respuesta::No));
            }
        }
        QCOMPARE(b->contar("PARAM"), 1);
    }
};

QTEST_GUILESS_MAIN(TstInstalador)
#include "tst_instalador.moc"
