#include "store/utilidad.h"

#include <QTest>

using kv::Utilidad;

class TstUtilidad : public QObject
{
    Q_OBJECT
    Utilidad u;

private Q_SLOTS:
    void ruc_data()
    {
        QTest::addColumn<QString>("ruc");
        QTest::addColumn<bool>("valido");
        QTest::newRow("company") << "20100070970" << true;
        QTest::newRow("company ending in 8") << "20500000008" << true;
        QTest::newRow("person") << "10456789124" << true;
        QTest::newRow("check digit 10 becomes 0") << "20600123450" << true;
        QTest::newRow("prefix 15") << "15123456782" << true;
        QTest::newRow("wrong check digit") << "20100070971" << false;
        QTest::newRow("unknown prefix") << "30100070970" << false;
        QTest::newRow("ten digits") << "2010007097" << false;
        QTest::newRow("twelve digits") << "201000709700" << false;
        QTest::newRow("a letter") << "2010007097A" << false;
        QTest::newRow("blank inside") << "2010007 970" << false;
        QTest::newRow("empty") << "" << false;
    }
    void ruc()
    {
        QFETCH(QString, ruc);
        QFETCH(bool, valido);
        QCOMPARE(u.validaRuc(ruc), valido);
    }

    void periodo_data()
    {
        QTest::addColumn<QString>("periodo");
        QTest::addColumn<bool>("valido");
        QTest::newRow("first month of the tax") << "02/2003" << true;
        QTest::newRow("before the tax") << "01/2003" << false;
        QTest::newRow("current month") << "12/2026" << true;
        QTest::newRow("next month") << "01/2027" << false;
        QTest::newRow("month 13") << "13/2020" << false;
        QTest::newRow("month 00") << "00/2020" << false;
        QTest::newRow("one-digit month") << "2/2004" << false;
        QTest::newRow("mask prompt left") << "0_/2004" << false;
    }
    void periodo()
    {
        QFETCH(QString, periodo);
        QFETCH(bool, valido);
        QCOMPARE(u.validaPeriodo(periodo, QStringLiteral("02/2003"), QDate(2026, 12, 7)), valido);
    }

    void rangoFecha_data()
    {
        QTest::addColumn<QString>("fecha");
        QTest::addColumn<bool>("valido");
        QTest::newRow("lower bound") << "17/02/2003" << true;
        QTest::newRow("upper bound") << "07/12/2026" << true;
        QTest::newRow("day before") << "16/02/2003" << false;
        QTest::newRow("day after") << "08/12/2026" << false;
        QTest::newRow("not a date") << "31/02/2004" << false;
        QTest::newRow("garbage") << "ab/cd/efgh" << false;
    }
    void rangoFecha()
    {
        QFETCH(QString, fecha);
        QFETCH(bool, valido);
        QCOMPARE(u.validaRangoFecha(fecha, QStringLiteral("17/02/2003"), QStringLiteral("07/12/2026")), valido);
    }

    void filtros()
    {
        QCOMPARE(u.filtroNumerico('7'), int('7'));
        QCOMPARE(u.filtroNumerico(Utilidad::kTeclaRetroceso), Utilidad::kTeclaRetroceso);
        QCOMPARE(u.filtroNumerico('.'), 0);
        QCOMPARE(u.filtroNumerico('.', Utilidad::PermitePunto), int('.'));
        QCOMPARE(u.filtroNumerico('a', Utilidad::PermitePunto), 0);
        QCOMPARE(u.filtroNumerico('-'), 0);
        QCOMPARE(u.filtroCodigo('a'), int('a'));
        QCOMPARE(u.filtroCodigo('5'), int('5'));
        QCOMPARE(u.filtroCodigo(' '), 0);
        QCOMPARE(u.filtroCodigo('-'), 0);
        QCOMPARE(u.teclaMayuscula('a'), int('A'));
        QCOMPARE(u.teclaMayuscula(0xF1), 0xD1); // ñ → Ñ
        QCOMPARE(u.teclaMayuscula('5'), int('5'));
    }

    void clases()
    {
        QVERIFY(u.clasesCaracteres(QStringLiteral("0123")).todoDigitos);
        QVERIFY(u.clasesCaracteres(QStringLiteral("0123")).soloAlfanumerico);
        QVERIFY(!u.clasesCaracteres(QStringLiteral("LA24")).todoDigitos);
        QVERIFY(u.clasesCaracteres(QStringLiteral("LA24")).soloAlfanumerico);
        QVERIFY(!u.clasesCaracteres(QStringLiteral("LA-24")).soloAlfanumerico);
        QVERIFY(!u.clasesCaracteres(QString()).todoDigitos);
    }

    void digestoYAlineacion()
    {
        const QString d = u.digesto(QStringLiteral("clave"));
        QCOMPARE(d.size(), 20);
        QVERIFY(std::all_of(d.begin(), d.end(), [](QChar c) { return c.isDigit(); }));
        QCOMPARE(u.digesto(QStringLiteral("clave")), d);
        QVERIFY(u.digesto(QStringLiteral("clavf")) != d);
        QCOMPARE(u.alinearIzquierda(QStringLiteral("ab"), 5), QStringLiteral("ab   "));
        QCOMPARE(u.alinearDerecha(QStringLiteral("ab"), 5), QStringLiteral("   ab"));
        QCOMPARE(u.alinearDerecha(QStringLiteral("1,234,567"), 5), QStringLiteral("1,234,567"));
    }
};

QTEST_GUILESS_MAIN(TstUtilidad)
#include "tst_utilidad.moc"
