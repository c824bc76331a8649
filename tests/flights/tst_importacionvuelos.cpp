// The flight import without its window: the field rules line by line, the
// refusal of a malformed file, the working copy after one or two imports,
// the error file, and what a database failure leaves behind.
#include "flights/importacionvuelos.h"
#include "flights/reglasimportacion.h"
#include "importacionprueba.h"

#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

using Estado = ResultadoImportacion::Estado;

const QString kBueno = QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|");

QString linea(const QString &fecha, const QString &codigo, const QString &tripulantes = QStringLiteral("12"),
    const QString &afectos = QStringLiteral("150"))
{
    return fecha + u'|' + codigo + u'|' + tripulantes + QStringLiteral("|0|3|0|1|0|0|0|") + afectos + u'|';
}

// Every column of every flight of the working copy, in the table's order
// (key, date, code, the nine counts, the tax), one flight a line.
QStringList filasVuelos(const BaseDePrueba &base)
{
    QStringList filas;
    QSqlQuery q(base.db());
    q.exec(QStringLiteral(
        "SELECT tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, num_tripulantes, num_personal, "
        "num_transito, num_arrfor, num_diplo, num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar "
        "FROM TMPF517DETVP ORDER BY fec_arribo, cod_vuelo"));
    while (q.next()) {
        QStringList valores;
        for (int i = 0; i < 16; ++i)
            valores << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
        filas << valores.join(u' ');
    }
    return filas;
}

} // namespace

Q_DECLARE_METATYPE(kv::ResultadoImportacion::Estado)

class TstImportacionVuelos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reglas_data()
    {
        QTest::addColumn<QString>("periodo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("error");
        const QString nov = QStringLiteral("11/2026");
        QTest::newRow("accepted, blanks around a count")
            << nov << QStringLiteral("17/11/2026|la2401| 12 |0|3|0|1|0|0|0|150|") << QString();
        QTest::newRow("tomorrow, declared month")
            << QStringLiteral("12/2026") << linea(QStringLiteral("08/12/2026"), QStringLiteral("A1"))
            << QStringLiteral("Fecha de Arribo no debe ser mayor a la actual ");
        QTest::newRow("today") << QStringLiteral("12/2026")
                               << linea(QStringLiteral("07/12/2026"), QStringLiteral("A1")) << QString();
        QTest::newRow("future, other month")
            << nov << linea(QStringLiteral("08/12/2026"), QStringLiteral("A1"))
            << QStringLiteral("El año y mes de la fecha de Arribo deben ser iguales "
                              "al período declarado ");
        QTest::newRow("bad date, empty count: the last failure wins")
            << nov << QStringLiteral("31/02/2026|A1|12|0|3|0|1|0||0|150|")
            << QStringLiteral("Detalle de número personas a bordo está en blanco.");
        QTest::newRow("code 0000") << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("0000"))
                                   << QStringLiteral("El código de vuelo debe ser diferente de 0.");
        QTest::newRow("code 0A") << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("0A"))
                                 << QString();
        QTest::newRow("code with a hyphen")
            << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("LA-2401"))
            << QStringLiteral("El código de vuelo debe ser sólo letras y números.");
        QTest::newRow("16 letters") << nov
                                    << linea(QStringLiteral("17/11/2026"), QStringLiteral("ABCDEFGHIJKLMNOP"))
                                    << QStringLiteral("El código de vuelo debe tener máximo 15 caracteres.");
        QTest::newRow("six digits")
            << nov
            << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("12"),
                   QStringLiteral("100000"))
            << QStringLiteral("Detalle de número personas a bordo tiene campos con más de 5 posiciones.");
        QTest::newRow("1a") << nov
                            << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("1a"))
                            << QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
        QTest::newRow("no crew") << nov
                                 << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("000"))
                                 << QStringLiteral("El número de tripulantes debe ser mayor a 0.");
        QTest::newRow("no code") << nov << linea(QStringLiteral("17/11/2026"), QString())
                                 << QStringLiteral("Código de vuelo está en blanco.");
        QTest::newRow("date of nine characters")
            << nov << linea(QStringLiteral("1/11/2026"), QStringLiteral("A1"))
            << QStringLiteral("Fecha de Arribo está en blanco o es incorrecta");
        QTest::newRow("no such day") << nov << linea(QStringLiteral("31/11/2026"), QStringLiteral("A1"))
                                     << QStringLiteral("Fecha de Arribo no es válida");
        QTest::newRow("the day before the tax")
            << QStringLiteral("02/2003") << linea(QStringLiteral("16/02/2003"), QStringLiteral("A1"))
            << QStringLiteral("Fecha de Arribo debe ser mayor o igual al 17/02/2003 ");
        QTest::newRow("the tax's first day")
            << QStringLiteral("02/2003") << linea(QStringLiteral("17/02/2003"), QStringLiteral("A1")) << QString();
        QTest::newRow("15 letters") << nov
                                    << linea(QStringLiteral("17/11/2026"), QStringLiteral("ABCDEFGHIJKLMNO"))
                                    << QString();
        QTest::newRow("five digits") << nov
                                     << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"),
                                            QStringLiteral("12"), QStringLiteral("99999"))
                                     << QString();
        // Two faults in one line: the later field's wins.
        QTest::newRow("no code and no crew")
            << nov << linea(QStringLiteral("17/11/2026"), QString(), QStringLiteral("0"))
            << QStringLiteral("El número de tripulantes debe ser mayor a 0.");
        QTest::newRow("other month and a hyphen in the code")
            << nov << linea(QStringLiteral("17/10/2026"), QStringLiteral("LA-1"))
            << QStringLiteral("El código de vuelo debe ser sólo letras y números.");
        QTest::newRow("no crew and a letter in the last count")
            << nov
            << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("0"), QStringLiteral("x"))
            << QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
        QTest::newRow("zeros and more than 15 characters")
            << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("0000000000000000"))
            << QStringLiteral("El código de vuelo debe ser diferente de 0.");
        QTest::newRow("backspace in a count")
            << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("1\b"))
            << QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
    }
    void reglas()
    {
        QFETCH(QString, periodo);
        QFETCH(QString, texto);
        QFETCH(QString, error);
        const Utilidad utilidad;
        const ReglasImportacion reglas(utilidad, QDate(2026, 12, 7), periodo);
        const LineaVuelo l = reglas.analizar(texto);
        QCOMPARE(l.error, error);
        if (l.aceptada() && l.campos[1] == u"la2401") {
            QCOMPARE(l.codigo, QStringLiteral("LA2401"));
            const QStringList cantidades(l.cantidades.cbegin(), l.cantidades.cend());
            QCOMPARE(cantidades.join(u' '), QStringLiteral("12 0 3 0 1 0 0 0 150"));
            QCOMPARE(l.fecha, QDate(2026, 11, 17));
        }
    }

    // A file with one wrong line is refused whole and nothing is imported.
    void archivoRechazado_data()
    {
        QTest::addColumn<QString>("malo");
        QTest::addColumn<Estado>("estado");
        QTest::newRow("last line without its final |")
            << QStringLiteral("18/11/2026|LA2402|12|0|3|0|1|0|0|0|150") << Estado::CamposIncorrectos;
        QTest::newRow("twelve separators")
            << QStringLiteral("18/11/2026|LA2402|12|0|3|0|1|0|0|0|150||") << Estado::CamposIncorrectos;
        QTest::newRow("blank line") << QString() << Estado::CamposIncorrectos;
        QTest::newRow("text after the last |")
            << QStringLiteral("18/11/2026|LA2402|12|0|3|0|1|0|0|0|150|x") << Estado::SinSeparadorFinal;
    }
    void archivoRechazado()
    {
        QFETCH(QString, malo);
        QFETCH(Estado, estado);
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        const QString ruta = escribirArchivoVuelos(base, { kBueno, malo });
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QCOMPARE(importacion.CuentaPipes(ruta), estado != Estado::CamposIncorrectos);
        QCOMPARE(importacion.ImportarVuelos(ruta).estado, estado);
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 0);
    }

    // A second import of the file updates its flights; the code is matched
    // as stored, in upper case, and other flights stay as they were.
    void mismoArchivoDosVeces()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const QString ruta = escribirArchivoVuelos(
            base, { kBueno, linea(QStringLiteral("18/11/2026"), QStringLiteral("la2402")) });
        QVERIFY(importacion.ImportarVuelos(ruta).satisfactoria());
        // Nine different counts: each lands in its own column.
        escribirArchivoVuelos(base, { QStringLiteral("18/11/2026|LA2402|9|1|2|3|4|5|6|08|007|") });
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        QVERIFY(r.satisfactoria());
        QCOMPARE(r.transferidos, qint64(1));
        QCOMPARE(filasVuelos(base),
            QStringList({ QStringLiteral("6 20100070970 202611 0517 2026-11-17 LA2401 12 0 3 0 1 0 0 0 150 2250"),
                QStringLiteral("6 20100070970 202611 0517 2026-11-18 LA2402 9 1 2 3 4 5 6 8 7 105") }));
        // With no refused line the error file is there, empty.
        QCOMPARE(leerBytes(importacion.rutaErrores()), QByteArray());
    }

    // A record the database refuses is a refused record, with the
    // database's reason; the import goes on with the next.
    void grabacionRechazada()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        base.agregarFalla(QStringLiteral("vetado"), QStringLiteral("INSERT"), QStringLiteral("TMPF517DETVP"),
                          QStringLiteral("vuelo vetado"), QStringLiteral("NEW.cod_vuelo='XX1'"));
        const QString ruta = escribirArchivoVuelos(base,
            { kBueno, linea(QStringLiteral("18/11/2026"), QStringLiteral("XX1")),
                linea(QStringLiteral("19/11/2026"), QStringLiteral("LA2403")) });
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        QCOMPARE(r.estado, Estado::Terminada);
        QCOMPARE(r.transferidos, qint64(2));
        QCOMPARE(r.rechazados, qint64(1));
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 2);
        const QByteArray errores = leerBytes(importacion.rutaErrores());
        QVERIFY2(errores.startsWith("18/11/2026  XX1              Error ") && errores.contains("vuelo vetado")
                && errores.endsWith("\r\n") && errores.count('\n') == 1,
            errores.constData());
    }

    // The database ends the transaction half way: the working copy is as it
    // was before the import and the caller learns why.
    void importacionInterrumpida()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("a trigger that ends the whole transaction is the embedded engine's");
        abrirDeclaracionVuelos(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QVERIFY(importacion.ImportarVuelos(escribirArchivoVuelos(base, { kBueno })).satisfactoria());
        const QStringList antes = filasVuelos(base);
        base.ejecutar(
            QStringLiteral("CREATE TRIGGER lleno BEFORE INSERT ON TMPF517DETVP WHEN NEW.cod_vuelo='XX9' "
                           "BEGIN SELECT RAISE(ROLLBACK, 'disco lleno'); END"));
        const QString ruta = escribirArchivoVuelos(base,
            { linea(QStringLiteral("17/11/2026"), QStringLiteral("LA2401"), QStringLiteral("5")),
                linea(QStringLiteral("31/02/2026"), QStringLiteral("A1")),
                linea(QStringLiteral("18/11/2026"), QStringLiteral("LA2402")),
                linea(QStringLiteral("19/11/2026"), QStringLiteral("XX9")),
                linea(QStringLiteral("20/11/2026"), QStringLiteral("LA2404")) });
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        QCOMPARE(r.estado, Estado::Interrumpida);
        QVERIFY2(r.error.texto.contains(u"disco lleno"), qPrintable(r.error.texto));
        QCOMPARE(filasVuelos(base), antes);
        QCOMPARE(leerBytes(importacion.rutaErrores()), QByteArray());
        // The database takes writes again.
        base.ejecutar(QStringLiteral("DROP TRIGGER lleno"));
        QVERIFY(importacion.ImportarVuelos(ruta).estado == Estado::Terminada);
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 4);
    }

    // More lines than a 16-bit counter holds.
    void muchasLineas()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        QStringList lineas;
        for (int i = 0; i < 33000; ++i)
            lineas << linea(QStringLiteral("%1/11/2026").arg(1 + i % 30, 2, 10, QLatin1Char('0')),
                QStringLiteral("V%1").arg(i));
        lineas << linea(QStringLiteral("31/11/2026"), QStringLiteral("V0"));
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const ResultadoImportacion r = importacion.ImportarVuelos(escribirArchivoVuelos(base, lineas));
        QCOMPARE(r.transferidos, qint64(33000));
        QCOMPARE(r.rechazados, qint64(1));
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 33000);
    }
};

QTEST_GUILESS_MAIN(TstImportacionVuelos)
#include "tst_importacionvuelos.moc"
