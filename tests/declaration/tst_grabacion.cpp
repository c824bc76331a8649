// Saving a declaration without its window: the header, the box rows with
// their stored forms, the flights and payments copied from the working
// copy, the check codes of each kind of row, and a save that fails at any
// of its writes leaving everything as it was.
#include "declaracionprueba.h"
#include "declaration/grabacion.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <algorithm>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kConsistente = QStringLiteral("Declaración grabada y consistente");
const QString kInconsistente = QStringLiteral("Declaración grabada con inconsistencias");

struct Escena
{
    BaseDePrueba base;
    Declaracion decl { base.contexto() };

    Escena()
    {
        base.agregarContribuyente(kRuc, kRazon, QStringLiteral("PRUEBA"));
        base.ejecutar(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES ('0151',?), ('0152',?)"),
            { kConsistente, kInconsistente });
        elegirDeclaracion(base.contexto());
        decl.abrir(Declaracion::kNueva, false, {});
        // One flight and one payment of the working copy.
        base.ejecutar(
            QStringLiteral(
                "INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, "
                "num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, num_deport, "
                "num_adqanterior, num_afectos, mto_dolar) VALUES "
                "(6,?,?,'0517','2024-03-15','LA2041','10','2','5','0','1','0','0','3','120','1800')"),
            { kRuc, kPeriodo });
        base.ejecutar(
            QStringLiteral("INSERT INTO TMPF517PAGPRE (tip_doc_d, doc_id_d, periodo, formulario, cod_boleta, "
                           "num_operacion, "
                           "cod_tributo, fec_pago, mto_soles, tip_cambio, mto_dolar) VALUES "
                           "(6,?,?,'0517','5841','00000123','071301','2024-03-20','3456','3.456','1000')"),
            { kRuc, kPeriodo });
    }

    // A new declaration as the window holds it: paid by cheque of bank 05.
    static DatosDeclaracion datos()
    {
        DatosDeclaracion d;
        d.identificacion = { kRuc + QStringLiteral("  ") + kRazon, {}, QStringLiteral("0123456"),
            QStringLiteral("03/2024") };
        const QList<std::pair<const char *, const char *>> cifras = { { "390", "21" }, { "391", "12" },
            { "392", "9" }, { "393", "120" }, { "394", "129" }, { "395", "1" }, { "396", "71,700" },
            { "397", "3.450" }, { "401", "247,365" }, { "402", "(500)" }, { "403", "300" },
            { "404", "246,565" }, { "405", "" }, { "406", "246,565" }, { "410", "246,565" } };
        for (const auto &[casilla, valor] : cifras)
            d.casillas.insert(QString::fromLatin1(casilla), QString::fromUtf8(valor));
        d.pago = { QStringLiteral("C"), QStringLiteral("05"), QStringLiteral("00012345"),
            QStringLiteral("246,565") };
        return d;
    }

    ResultadoGrabacion grabar(const DatosDeclaracion &d) { return Grabacion(decl).Grabar(d); }

    QMap<QString, QString> casillas()
    {
        QMap<QString, QString> r;
        QSqlQuery q(base.db());
        q.exec(QStringLiteral("SELECT casilla, i_valor FROM DET"));
        while (q.next())
            r.insert(q.value(0).toString(), q.value(1).toString());
        return r;
    }

    QString columna(const QString &sql) { return base.valor(sql).toString(); }


    // Every row of the tables a save touches, as text, so that two moments
    // compare value by value (a null is told from an empty text).
    QStringList fotografia()
    {
        QStringList r;
        for (const char *tabla :
            { "CAB", "DET", "F517DETVP", "F517PAGPRE", "TMPF517DETVP", "TMPF517PAGPRE" }) {
            QStringList filas;
            QSqlQuery q(base.db());
            q.exec(QStringLiteral("SELECT * FROM ") + QString::fromLatin1(tabla));
            while (q.next()) {
                QStringList valores;
                for (int i = 0; i < q.record().count(); ++i)
                    valores << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
                filas << valores.join(u'|');
            }
            std::sort(filas.begin(), filas.end());
            r << QString::fromLatin1(tabla) + QStringLiteral(": ") + filas.join(u'\n');
        }
        return r;
    }

    // Each row written to a table the save touches counts; the write whose
    // count reaches `objetivo` fails inside the engine.
    void instalarFallas()
    {
        QSqlQuery q(base.db());
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE falla_contador (n INTEGER, objetivo INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO falla_contador VALUES (0, 0)")));
        const bool pg = base.motor() == Motor::PostgreSQL;
        if (pg) {
            QVERIFY2(
                q.exec(QStringLiteral(
                    "CREATE FUNCTION falla_inyectada() RETURNS trigger AS $$ BEGIN "
                    "UPDATE falla_contador SET n = n + 1; "
                    "IF (SELECT n = objetivo FROM falla_contador) THEN RAISE EXCEPTION 'falla inyectada'; "
                    "END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$ "
                    "LANGUAGE plpgsql")),
                qPrintable(q.lastError().text()));
        }
        for (const char *t : { "CAB", "DET", "F517DETVP", "F517PAGPRE", "TMPF517DETVP", "TMPF517PAGPRE" }) {
            const QString tabla = QString::fromLatin1(t);
            if (pg) {
                QVERIFY(
                    q.exec(QStringLiteral("CREATE TRIGGER falla_%1 BEFORE INSERT OR UPDATE OR DELETE ON %1 "
                                          "FOR EACH ROW EXECUTE FUNCTION falla_inyectada()")
                               .arg(tabla)));
                continue;
            }
            for (const char *op : { "INSERT", "UPDATE", "DELETE" }) {
                QVERIFY2(q.exec(QStringLiteral("CREATE TRIGGER falla_%1_%2 BEFORE %2 ON %1 BEGIN "
                                               "UPDATE falla_contador SET n = n + 1; "
                                               "SELECT RAISE(ABORT, 'falla inyectada') WHERE "
                                               "(SELECT n = objetivo FROM falla_contador); END")
                                    .arg(tabla, QString::fromLatin1(op))),
                    qPrintable(q.lastError().text()));
            }
        }
    }
};

} // namespace

class TstGrabacion : public QObject
{
    Q_OBJECT

private slots:
    void nuevaPagadaConCheque()
    {
        Escena e;
        // Nine different counts, so that each must land in its own column.
        e.base.ejecutar(QStringLiteral("UPDATE TMPF517DETVP SET num_personal='2', num_transito='3', num_arrfor='4', "
                                       "num_diplo='5', num_extrad='6', num_deport='7', num_adqanterior='8'"));
        const ResultadoGrabacion r = e.grabar(Escena::datos());
        QVERIFY2(r.grabada, qPrintable(r.textoFallo()));
        QVERIFY(r.consistente);
        QCOMPARE(r.mensaje, kConsistente);
        QCOMPARE(e.columna(QStringLiteral("SELECT tip_doc_d FROM CAB")), QStringLiteral("6"));
        QCOMPARE(e.columna(QStringLiteral("SELECT fec_pro FROM CAB")), QStringLiteral("2026-12-07"));
        QCOMPARE(e.columna(QStringLiteral(
                     "SELECT bcolibrad || '/' || nrocheque || '/' || cheque || '/' || efectivo "
                     "|| '/' || rectifica || '/' || estado FROM CAB")),
            QStringLiteral("05/00012345/246565//0/0"));
        // Figures as whole numbers, the rate and the codes as typed, 405
        // left empty has no row.
        const QMap<QString, QString> esperadas = { { "390", "21" }, { "391", "12" }, { "392", "9" },
            { "393", "120" }, { "394", "129" }, { "395", "1" }, { "396", "71700" }, { "397", "3.450" },
            { "401", "247365" }, { "402", "-500" }, { "403", "300" }, { "404", "246565" },
            { "406", "246565" }, { "410", "246565" }, { "015", "5" }, { "871", "0" }, { "005", "0" },
            { "870", "246565" }, { "872", "C" }, { "012", "00012345" }, { "002", kRuc }, { "007", "202403" },
            { "028", "0123456" }, { "721", "1.0" }, { "722", "966" } };
        QCOMPARE(e.casillas(), esperadas);
        QCOMPARE(
            e.columna(QStringLiteral("SELECT idcasilla FROM DET WHERE casilla='410'")), QStringLiteral("05"));
        QCOMPARE(
            e.base.contar(QStringLiteral("DET"), QStringLiteral("idcasilla='01'")), esperadas.size() - 1);
        // The flight and the payment whole, column by column in table
        // order. The flight's code: numeric part as in codigosDeControl, the
        // counts' texts 145+50+51+52+53+54+55+56+293+497 = 1306.
        QCOMPARE(e.base.filas(QStringLiteral("SELECT * FROM F517DETVP")),
            QStringList { QStringLiteral(
                "6|20456789120|202403|0517|2024-03-15|LA2041|10|2|3|4|5|6|7|8|120|1800|361306") });
        QCOMPARE(e.base.filas(QStringLiteral("SELECT * FROM F517PAGPRE")),
            QStringList { QStringLiteral(
                "6|20456789120|202403|0517|0|5841|00000123|071301|2024-03-20|3456|3.456|1000|631792") });
        QCOMPARE(e.base.contexto().sRuc, kRuc);
    }

    // The header's payment columns for each payment method: only cash
    // writes the amount into efectivo, only a cheque its bank, number and
    // amount; no method chosen writes neither.
    void formaDePagoEnLaCabecera_data()
    {
        QTest::addColumn<QString>("forma");
        QTest::addColumn<QString>("cabecera");
        QTest::addColumn<QString>("banco015");
        QTest::newRow("efectivo") << "E" << " / / /246565/0" << "";
        QTest::newRow("cheque") << "C" << "05/00012345/246565//0" << "5";
        QTest::newRow("ninguna") << "X" << " / / / /9" << "";
    }
    void formaDePagoEnLaCabecera()
    {
        QFETCH(QString, forma);
        QFETCH(QString, cabecera);
        QFETCH(QString, banco015);
        Escena e;
        DatosDeclaracion d = Escena::datos();
        d.pago.formapago = forma;
        QVERIFY(e.grabar(d).grabada);
        QCOMPARE(e.columna(QStringLiteral("SELECT bcolibrad || '/' || nrocheque || '/' || cheque || '/' || "
                                          "efectivo || '/' || estado FROM CAB")),
            cabecera);
        QCOMPARE(e.columna(QStringLiteral("SELECT i_valor FROM DET WHERE casilla='015'")), banco015);
        QCOMPARE(e.columna(QStringLiteral("SELECT i_valor FROM DET WHERE casilla='872'")), forma);
    }

    // The codes worked out by hand, as the record check code adds them: the
    // numeric columns' values, then each text column's characters weighted
    // by position (Windows-1252 codes); the last three digits of each sum.
    void codigosDeControl()
    {
        Escena e;
        QVERIFY(e.grabar(Escena::datos()).grabada);
        // CAB, 5 numeric: 6 + 20456789120 + 202403 + 517 + 20261207 (fec_pro)
        // = 20477253253 → 253. Text: rectifica "0" 48; bcolibrad "05"
        // 48+2·53 = 154; nrocheque "00012345" 48+96+144+4·49+5·50+6·51+7·52+8·53
        // = 1828; cheque "246565" 50+2·52+3·54+4·53+5·54+6·53 = 1116; efectivo ""
        // 0; estado "0" 48; norden null 0: 3194 → 194.
        QCOMPARE(e.columna(QStringLiteral("SELECT cNumero FROM CAB")), QStringLiteral("253194"));
        // DET 410, 6 numeric: 20456789120 + 6 + 202403 + 517 + 410 + 246565
        // = 20457239021 → 021. Text: idcasilla "05" 154; estado "0" 48: 202.
        QCOMPARE(e.columna(QStringLiteral("SELECT cNumero FROM DET WHERE casilla='410'")),
            QStringLiteral("021202"));
        // F517DETVP, 6 numeric: 6 + 20456789120 + 202403 + 517 + 20240315
        // (arrival) + 0 ("LA2041" is no number) = 20477232361 → 361. Text:
        // "10" 49+2·48 = 145; "2" 50; "5" 53; "0" 48; "1" 49; "0" 48; "0" 48;
        // "3" 51; "120" 49+2·50+3·48 = 293; "1800" 49+2·56+3·48+4·48 = 497:
        // 1282 → 282.
        QCOMPARE(e.columna(QStringLiteral("SELECT cnumero FROM F517DETVP")), QStringLiteral("361282"));
        // F517PAGPRE, 9 numeric: 6 + 20456789120 + 202403 + 517 + 0 (week) +
        // 5841 + 123 + 71301 + 20240320 (payment) = 20477309631 → 631. Text:
        // "3456" 51+2·52+3·53+4·54 = 530; "3.456" 51+2·46+3·52+4·53+5·54 = 781;
        // "1000" 49+2·48+3·48+4·48 = 481: 1792 → 792.
        QCOMPARE(e.columna(QStringLiteral("SELECT cnumero FROM F517PAGPRE")), QStringLiteral("631792"));
    }

    // The second save replaces the first: one row per box with a value, a
    // cash payment without a cheque, and a rate out of range marks the
    // header inconsistent.
    void grabarDosVeces()
    {
        Escena e;
        QVERIFY(e.grabar(Escena::datos()).grabada);
        e.decl.setAccion(Declaracion::kModificar);
        DatosDeclaracion d = Escena::datos();
        d.identificacion.numRuc = kRuc;
        d.casillas[QStringLiteral("402")] = QString();
        d.casillas[QStringLiteral("397")] = QStringLiteral("1.500");
        d.pago = { QStringLiteral("E"), QStringLiteral("XX"), QString(), QStringLiteral("246,565") };
        d.rectifica = true;
        const ResultadoGrabacion r = e.grabar(d);
        QVERIFY(r.grabada && !r.consistente);
        QCOMPARE(r.mensaje, kInconsistente);
        const QMap<QString, QString> casillas = e.casillas();
        QCOMPARE(e.base.contar(QStringLiteral("DET")), casillas.size());
        QVERIFY(!casillas.contains(QStringLiteral("402")));
        QVERIFY(!casillas.contains(QStringLiteral("015")));
        QVERIFY(!casillas.contains(QStringLiteral("012")));
        QCOMPARE(casillas.value(QStringLiteral("871")), QStringLiteral("1"));
        QCOMPARE(e.columna(QStringLiteral(
                     "SELECT bcolibrad || '/' || nrocheque || '/' || cheque || '/' || efectivo "
                     "|| '/' || rectifica || '/' || estado FROM CAB")),
            QStringLiteral(" / / /246565/1/9"));
        QCOMPARE(e.base.contar(QStringLiteral("CAB")), 1);
        QCOMPARE(e.base.contar(QStringLiteral("F517DETVP")), 1);
        QCOMPARE(e.base.contar(QStringLiteral("F517PAGPRE")), 1);
    }

    // Another user saved the declaration after it was opened here: the
    // save writes nothing until told to replace it. Saving one's own work
    // again is never taken for someone else's.
    void otroUsuarioGraboMientras()
    {
        Escena e;
        QVERIFY(e.grabar(Escena::datos()).grabada);
        e.decl.setAccion(Declaracion::kModificar);
        DatosDeclaracion d = Escena::datos();
        d.identificacion.numRuc = kRuc;
        QVERIFY(e.grabar(d).grabada);

        e.base.ejecutar(QStringLiteral("UPDATE F517DETVP SET num_afectos='121'"));
        d.casillas[QStringLiteral("410")] = QStringLiteral("1");
        const ResultadoGrabacion r = e.grabar(d);
        QVERIFY(!r.grabada && r.ajena);
        QCOMPARE(e.columna(QStringLiteral("SELECT i_valor FROM DET WHERE casilla='410'")), QStringLiteral("246565"));
        QCOMPARE(e.columna(QStringLiteral("SELECT num_afectos FROM F517DETVP")), QStringLiteral("121"));

        QVERIFY(Grabacion(e.decl).Grabar(d, true).grabada);
        QCOMPARE(e.columna(QStringLiteral("SELECT i_valor FROM DET WHERE casilla='410'")), QStringLiteral("1"));
        QCOMPARE(e.columna(QStringLiteral("SELECT num_afectos FROM F517DETVP")), QStringLiteral("120"));
        QVERIFY(e.grabar(d).grabada);
    }

    // Whatever another program changes of what is stored of the
    // declaration, in any of its four tables, the next save from here asks
    // first; a change to another declaration does not count.
    void otroUsuarioEnCadaTabla_data()
    {
        QTest::addColumn<QString>("cambio");
        QTest::addColumn<bool>("ajena");
        QTest::newRow("header") << QStringLiteral("UPDATE CAB SET fec_pro='2026-12-08'") << true;
        QTest::newRow("a box") << QStringLiteral("UPDATE DET SET i_valor='1' WHERE casilla='405'") << true;
        QTest::newRow("a box less") << QStringLiteral("DELETE FROM DET WHERE casilla='028'") << true;
        QTest::newRow("a flight's code") << QStringLiteral("UPDATE F517DETVP SET cnumero='000000'") << true;
        QTest::newRow("a flight more")
            << QStringLiteral("INSERT INTO F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) "
                              "SELECT tip_doc_d, doc_id_d, periodo, formulario, '2024-03-16', cod_vuelo FROM F517DETVP")
            << true;
        QTest::newRow("two counts trade places")
            << QStringLiteral("UPDATE F517DETVP SET num_personal=num_transito, num_transito=num_personal") << true;
        QTest::newRow("a payment's week") << QStringLiteral("UPDATE F517PAGPRE SET semana=1") << true;
        QTest::newRow("another declaration")
            << QStringLiteral("INSERT INTO F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) "
                              "VALUES (6, '20100070970', '202403', '0517', '2024-03-16', 'XX1')")
            << false;
    }
    void otroUsuarioEnCadaTabla()
    {
        QFETCH(QString, cambio);
        QFETCH(bool, ajena);
        Escena e;
        DatosDeclaracion d = Escena::datos();
        d.casillas[QStringLiteral("405")] = QStringLiteral("12");
        QVERIFY(e.grabar(d).grabada);
        e.decl.setAccion(Declaracion::kModificar);
        d.identificacion.numRuc = kRuc;
        e.base.ejecutar(cambio);
        const ResultadoGrabacion r = e.grabar(d);
        QCOMPARE(r.ajena, ajena);
        QCOMPARE(r.grabada, !ajena);
    }

    // Two users save two declarations fifty times each at the same moment,
    // each in its own program: neither empties the other's working copy,
    // and every declaration is stored whole, with the flights of one save.
    void dosUsuariosALaVez()
    {
        BaseDePrueba base;
        const QStringList rucs = {QStringLiteral("20100000001"), QStringLiteral("20100000002")};
        const QString programa = QCoreApplication::applicationDirPath() + QStringLiteral("/kv_guardar_declaraciones");
        QProcess a, b;
        a.start(programa, {base.rutaIni(), rucs.at(0), QStringLiteral("50")});
        b.start(programa, {base.rutaIni(), rucs.at(1), QStringLiteral("50")});
        QVERIFY(a.waitForFinished(240000) && b.waitForFinished(240000));
        QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
        QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
        for (const QString &ruc : rucs) {
            QCOMPARE(base.contar(QStringLiteral("CAB"), QStringLiteral("doc_id_d=?"), {ruc}), 1);
            QCOMPARE(base.contar(QStringLiteral("F517DETVP"), QStringLiteral("doc_id_d=? AND num_afectos='50'"), {ruc}),
                     20);
            QCOMPARE(base.contar(QStringLiteral("F517DETVP"), QStringLiteral("doc_id_d=?"), {ruc}), 20);
            QCOMPARE(base.valor(QStringLiteral("SELECT i_valor FROM DET WHERE doc_id_d=? AND casilla='410'"), {ruc})
                         .toString(),
                     QStringLiteral("50"));
        }
    }

    // Whichever write fails, the stored declaration and the working copy
    // are exactly as before the save, and the user is told which.
    void fallaEnCadaEscritura()
    {
        Escena e;
        guardarVuelos(e.base, QStringLiteral("TMPF517DETVP"), 3);
        QVERIFY(e.grabar(Escena::datos()).grabada);
        // The next save moves the working copy from a former period too.
        e.base.ejecutar(QStringLiteral("UPDATE TMPF517DETVP SET periodo='202402'"));
        e.base.ejecutar(QStringLiteral("UPDATE TMPF517PAGPRE SET periodo='202402'"));
        e.base.contexto().sPeriodo = QStringLiteral("202402");
        e.decl.setAccion(Declaracion::kModificar);
        DatosDeclaracion d = Escena::datos();
        d.identificacion.numRuc = kRuc;
        d.casillas[QStringLiteral("405")] = QStringLiteral("12");
        e.instalarFallas();
        const QStringList antes = e.fotografia();

        int escritura = 1;
        for (;; ++escritura) {
            e.base.ejecutar(QStringLiteral("UPDATE falla_contador SET n=0, objetivo=?"), { escritura });
            const ResultadoGrabacion r = e.grabar(d);
            if (r.grabada)
                break;
            QVERIFY2(r.error.texto.contains(u"falla inyectada"), qPrintable(r.textoFallo()));
            QVERIFY(!r.paso.isEmpty());
            QCOMPARE(e.fotografia(), antes);
            QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202402"));
        }
        const int fallas = escritura - 1;
        qInfo("a failure injected at each of the save's %d writes, one at a time", fallas);
        // The working copy's 4 flights and 1 payment moved, the header, 25
        // box rows deleted and 26 written, 4 flights and 1 payment deleted
        // and written, the header's state.
        QCOMPARE(fallas, 5 + 1 + 25 + 26 + 4 + 4 + 1 + 1 + 1);
        // Saved at last, under the declared period, which the working copy
        // and the context follow.
        QVERIFY(e.fotografia() != antes);
        QCOMPARE(e.base.contar(QStringLiteral("F517DETVP"), QStringLiteral("periodo='202403'")), 4);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517PAGPRE"), QStringLiteral("periodo='202403'")), 1);
        QCOMPARE(e.base.contexto().sPeriodo, kPeriodo);
        QCOMPARE(
            e.columna(QStringLiteral("SELECT i_valor FROM DET WHERE casilla='405'")), QStringLiteral("12"));
    }
};

QTEST_GUILESS_MAIN(TstGrabacion)
#include "tst_grabacion.moc"
