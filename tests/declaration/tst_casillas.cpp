// The declaration's boxes without a window: the flights summed into 390 to
// 396, the debt worked out from them, how a box is shown while edited and
// after, the keys each box takes and the warning about the amount paid.
#include "declaration/casillas.h"
#include "support/basedeprueba.h"

#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kRuc = QStringLiteral("20100000001");

void agregarVuelo(BaseDePrueba &base, const QString &ruc, const QString &fecha, const QString &dolares,
    const QStringList &cantidades)
{
    base.ejecutar(
        QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                       "cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, "
                       "num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar) "
                       "VALUES (6,?,'200403','0517',?,'AB1',?,?,?,?,?,?,?,?,?,?)"),
        QVariantList { ruc, fecha } + QVariantList(cantidades.cbegin(), cantidades.cend())
            + QVariantList { dolares });
}

QStringList textos(const Casillas &c, const QList<int> &casillas)
{
    QStringList r;
    for (int n : casillas)
        r << c.texto(n);
    return r;
}

} // namespace

class TstCasillas : public QObject
{
    Q_OBJECT
    BaseDePrueba m_base;

private Q_SLOTS:
    void initTestCase()
    {
        m_base.contexto().sRuc = kRuc;
        m_base.contexto().sPeriodo = QStringLiteral("200403");
    }

    void vuelosYDeudaExactos()
    {
        BaseDePrueba base;
        base.contexto().sRuc = kRuc;
        base.contexto().sPeriodo = QStringLiteral("200403");
        Casillas c(base.datos());
        c.TotalizaVuelos(); // no flights yet
        QCOMPARE(textos(c, {390, 391, 392, 393, 394, 395, 396}), QStringList({"", "", "", "", "", "0", "0"}));
        c.cambiar(397, QStringLiteral("3.456"));
        QCOMPARE(c.texto(401), QStringLiteral("0"));

        // Counts in table order: crew, staff, transit, forced, diplomats,
        // extradited, deported, bought before, subject to the tax.
        agregarVuelo(base, kRuc, QStringLiteral("2004-03-01"), QStringLiteral("1000.25"),
            {"10", "2", "3", "4", "5", "6", "7", "8", "1000"});
        agregarVuelo(base, kRuc, QStringLiteral("2004-03-02"), QStringLiteral("234.25"),
            {"1", "1", "1", "1", "1", "1", "1", "1", "1"});
        agregarVuelo(base, QStringLiteral("20100000002"), QStringLiteral("2004-03-02"), QStringLiteral("999"),
            {"9", "9", "9", "9", "9", "9", "9", "9", "9"});
        const CambiosCasillas cambios = c.TotalizaVuelos();
        QCOMPARE(textos(c, {390, 391, 392, 393, 394, 395, 396}),
            QStringList({"53", "14", "39", "1,001", "1,040", "2", "1,235"}));
        QVERIFY(cambios.casillas.contains(396));

        // 1 235 × 3.456 = 4 268.16
        QCOMPARE(textos(c, {401, 404, 406}), QStringList({"4,268", "4,268", "4,268"}));
        QCOMPARE(c.textoImpSoles(), QStringLiteral("4,268"));
    }

    void cadenaDeLaDeuda_data()
    {
        QTest::addColumn<QString>("s396");
        QTest::addColumn<QString>("s402");
        QTest::addColumn<QString>("s403");
        QTest::addColumn<QString>("s405");
        QTest::addColumn<QString>("s404");
        QTest::addColumn<QString>("s406");
        QTest::newRow("compensation above the tax: never below 0") << "300" << "500" << "" << "25" << "0" << "25";
        QTest::newRow("402 and 403 subtract their size") << "5000" << "(1,234)" << "(100)" << "" << "3,666" << "3,666";
        QTest::newRow("nothing to work from") << "" << "" << "" << "" << "" << "";
        QTest::newRow("interest alone") << "" << "" << "" << "12" << "" << "12";
    }
    void cadenaDeLaDeuda()
    {
        QFETCH(QString, s396);
        QFETCH(QString, s402);
        QFETCH(QString, s403);
        QFETCH(QString, s405);
        QFETCH(QString, s404);
        QFETCH(QString, s406);
        Casillas c(m_base.datos());
        // Every box filled first, so that emptying them must empty the results.
        for (const auto &[n, t] :
            {std::pair{396, "7"}, {397, "1.000"}, {402, "1"}, {403, "1"}, {405, "1"}})
            c.cambiar(n, QString::fromLatin1(t));
        c.cambiar(397, QString());
        c.cambiar(396, s396);
        c.cambiar(397, s396.isEmpty() ? QString() : QStringLiteral("1.000"));
        c.cambiar(402, s402);
        c.cambiar(403, s403);
        c.cambiar(405, s405);
        QCOMPARE(c.texto(404), s404);
        QCOMPARE(c.texto(406), s406);
        QVERIFY(!c.cambiar(406, QStringLiteral("1")).importe);
        QVERIFY(c.cambiar(410, QStringLiteral("1500")).importe); // the payment panel follows 410 alone
    }

    void foco_data()
    {
        QTest::addColumn<int>("casilla");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("editando");
        QTest::addColumn<QString>("despues");
        QTest::newRow("rate") << 397 << "3.450" << "3.45" << "3.450";
        QTest::newRow("rate, a point alone") << 397 << "." << "." << "";
        QTest::newRow("compensation typed 1234") << 402 << "1234" << "1234" << "(1,234)";
        QTest::newRow("compensation 0 stays") << 402 << "0" << "0" << "0";
        QTest::newRow("interest") << 405 << "1,234,567" << "1234567" << "1,234,567";
        QTest::newRow("amount paid empty") << 410 << "" << "" << "";
    }
    void foco()
    {
        QFETCH(int, casilla);
        QFETCH(QString, texto);
        QFETCH(QString, editando);
        QFETCH(QString, despues);
        Casillas c(m_base.datos());
        c.cambiar(casilla, texto);
        QCOMPARE(c.alEntrar(casilla).longitud, casilla == 397 ? 5 : 12);
        QCOMPARE(c.texto(casilla), editando);
        QCOMPARE(c.alSalir(casilla).longitud, casilla == 397 ? 5 : 14);
        QCOMPARE(c.texto(casilla), despues);

        c.setHistorico(true); // a sent declaration keeps what it shows
        c.cambiar(casilla, texto);
        c.alEntrar(casilla);
        QCOMPARE(c.texto(casilla), texto);
    }

    void tecla_data()
    {
        using A = DecisionTecla::Accion;
        QTest::addColumn<int>("casilla");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<int>("accion");
        QTest::addColumn<QStringList>("mensajes");
        const QStringList nada;
        QTest::newRow("rate of 10, next key") << 397 << "10" << int('5') << int(A::Vaciar) << QStringList {"El tipo de cambio debe ser menor a 10"};
        QTest::newRow("rate, four decimals") << 397 << ".1234" << 8 << int(A::Vaciar) << QStringList {"Registre como máximo 1 entero y 3 decimales"};
        QTest::newRow("rate, a digit") << 397 << "1" << int('0') << int(A::Aceptar) << nada;
        QTest::newRow("rate, a second point") << 397 << "3." << int('.') << int(A::Descartar) << nada;
        QTest::newRow("rate, Enter") << 397 << "3.45" << 13 << int(A::PasarFoco) << nada;
        QTest::newRow("amount, a point") << 410 << "12" << int('.') << int(A::Descartar) << nada;
        QTest::newRow("amount, a letter") << 402 << "12" << int('a') << int(A::Descartar) << nada;
        QTest::newRow("amount, Backspace") << 405 << "12" << 8 << int(A::Aceptar) << nada;
        QTest::newRow("previous payments, a digit") << 403 << "" << int('5') << int(A::AbrirPagosPrevios) << nada;
        QTest::newRow("previous payments, Enter") << 403 << "" << 13 << int(A::AbrirPagosPrevios) << nada;
    }
    void tecla()
    {
        QFETCH(int, casilla);
        QFETCH(QString, texto);
        QFETCH(int, codigo);
        QFETCH(int, accion);
        QFETCH(QStringList, mensajes);
        m_base.mensajes().limpiar();
        Casillas c(m_base.datos());
        c.cambiar(casilla, texto);
        const DecisionTecla d = c.tecla(casilla, codigo);
        QCOMPARE(int(d.accion), accion);
        QCOMPARE(QStringList(m_base.mensajes().textos())
                << (d.mensaje.isEmpty() ? QStringList() : QStringList { d.mensaje }),
            mensajes);
        QCOMPARE(int(c.suprimir(casilla).accion),
            int(casilla == 403 ? DecisionTecla::Accion::AbrirPagosPrevios : DecisionTecla::Accion::Aceptar));
    }

    void saldoaPagar_data()
    {
        QTest::addColumn<QString>("pagado");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("more than the debt") << "1,001" << "El importe a pagar tiene un exceso\n";
        QTest::newRow("less") << "999" << "KORVAL generará una orden de pago por la diferencia.\n";
        QTest::newRow("equal") << "1000" << "";
        QTest::newRow("nothing typed") << "" << "";
    }
    void saldoaPagar()
    {
        QFETCH(QString, pagado);
        QFETCH(QString, mensaje);
        Casillas c(m_base.datos());
        c.cambiar(405, QStringLiteral("1000"));
        QCOMPARE(c.texto(406), QStringLiteral("1,000"));
        c.cambiar(410, pagado);
        QCOMPARE(c.SaldoaPagar().value_or(QString()), mensaje);
    }
};

QTEST_GUILESS_MAIN(TstCasillas)
#include "tst_casillas.moc"
