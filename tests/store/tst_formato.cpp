// Decimals, text-to-number rules, number and date formats and the code page
// of the files: the exact texts the stored data and the reports depend on.
#include "store/decimal.h"
#include "store/formato.h"
#include "store/numeros.h"
#include "store/texto.h"

#include <QTest>

using namespace kv;

namespace {

Decimal dec(const QString &texto)
{
    const auto d = Decimal::leer(texto);
    if (!d)
        qFatal("bad decimal in test data: %s", qPrintable(texto));
    return *d;
}

} // namespace

class TstFormato : public QObject
{
    Q_OBJECT

private slots:
    void aritmetica_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("producto");
        QTest::addColumn<QString>("cociente");
        QTest::newRow("tipo de cambio") << "3.450" << "1000" << "3450" << "0.00345";
        QTest::newRow("tercios") << "2" << "3" << "6" << "0.666666667";
        QTest::newRow("media unidad") << "0.000000005" << "0.1" << "0.000000001" << "0.00000005";
        QTest::newRow("media unidad negativa") << "-0.000000005" << "0.1" << "-0.000000001" << "-0.00000005";
        QTest::newRow("grandes") << "123456789012345.25" << "1000000" << "123456789012345250000" << "123456789.01234525";
        QTest::newRow("entre cero") << "7" << "0" << "0" << "0";
    }

    void aritmetica()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, producto);
        QFETCH(QString, cociente);
        QCOMPARE((dec(a) * dec(b)).texto(), producto);
        QCOMPARE((dec(a) / dec(b)).texto(), cociente);
    }

    void redondeo_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<int>("decimales");
        QTest::addColumn<QString>("alejado");
        QTest::addColumn<QString>("par");
        QTest::newRow("2.5") << "2.5" << 0 << "3" << "2";
        QTest::newRow("3.5") << "3.5" << 0 << "4" << "4";
        QTest::newRow("-2.5") << "-2.5" << 0 << "-3" << "-2";
        QTest::newRow("centimos") << "1.005" << 2 << "1.01" << "1.0";
        QTest::newRow("milesimas") << "-0.0125" << 3 << "-0.013" << "-0.012";
    }

    void redondeo()
    {
        QFETCH(QString, valor);
        QFETCH(int, decimales);
        QFETCH(QString, alejado);
        QFETCH(QString, par);
        QCOMPARE(dec(valor).redondeado(decimales), dec(alejado));
        QCOMPARE(dec(valor).redondeadoPar(decimales), dec(par));
        if (decimales == 0) {
            QCOMPARE(dec(valor).aEntero(), alejado.toLongLong());
            QCOMPARE(dec(valor).aEnteroPar(), par.toLongLong());
        }
    }

    void textoDecimal_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("corto");
        QTest::newRow("decimales") << "1234.50" << "1234.5" << "1234.5";
        QTest::newRow("medio") << "0.5" << "0.5" << ".5";
        QTest::newRow("negativo bajo 1") << "-0.25" << "-0.25" << "-.25";
        QTest::newRow("entero") << "12" << "12" << "12";
        QTest::newRow("cero") << "-0.000" << "0" << "0";
        QTest::newRow("nueve decimales") << "0.000000001" << "0.000000001" << ".000000001";
    }

    void textoDecimal()
    {
        QFETCH(QString, valor);
        QFETCH(QString, texto);
        QFETCH(QString, corto);
        QCOMPARE(dec(valor).texto(), texto);
        QCOMPARE(dec(valor).textoCorto(), corto);
    }

    void leerDecimal_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<QString>("valor");
        QTest::newRow("punto inicial") << ".5" << true << "0.5";
        QTest::newRow("punto final") << "-12." << true << "-12";
        QTest::newRow("decimo decimal") << "0.0000000015" << true << "0.000000002";
        QTest::newRow("vacio") << "" << false << "";
        QTest::newRow("solo punto") << "." << false << "";
        QTest::newRow("coma") << "1,2" << false << "";
        QTest::newRow("exponente") << "1E3" << false << "";
        QTest::newRow("desborde") << "1" + QString(30, u'0') << false << "";
    }

    void leerDecimal()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QFETCH(QString, valor);
        const auto d = Decimal::leer(texto);
        QCOMPARE(d.has_value(), valido);
        if (valido)
            QCOMPARE(d->texto(), valor);
    }

    void convertirNumero_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("numerico");
        QTest::addColumn<QString>("valor");
        QTest::newRow("blancos") << " 3.450 " << true << "3.45";
        QTest::newRow("signo final") << "5-" << true << "-5";
        QTest::newRow("parentesis") << "(1,234)" << true << "-1234";
        QTest::newRow("miles") << "1,234" << true << "1234";
        QTest::newRow("comas sueltas") << "1,2,3" << true << "123";
        QTest::newRow("exponente") << "1E3" << true << "1000";
        QTest::newRow("exponente negativo") << "1.5e-2" << true << "0.015";
        QTest::newRow("exponente D") << "-2D+2" << true << "-200";
        QTest::newRow("hexadecimal") << "&H1F" << true << "31";
        QTest::newRow("octal") << "&o17" << true << "15";
        QTest::newRow("vacio") << "" << false << "";
        QTest::newRow("solo blancos") << "   " << false << "";
        QTest::newRow("solo punto") << "." << false << "";
        QTest::newRow("solo signo") << "-" << false << "";
        QTest::newRow("letras") << "abc" << false << "";
        QTest::newRow("dos puntos") << "1.2.3" << false << "";
        QTest::newRow("letra final") << "12a" << false << "";
        QTest::newRow("moneda") << "$" << false << "";
        QTest::newRow("dos signos") << "-5-" << false << "";
        QTest::newRow("signo en parentesis") << "(-5)" << false << "";
        QTest::newRow("coma inicial") << ",5" << false << "";
        QTest::newRow("coma decimal") << "1.2,3" << false << "";
        QTest::newRow("exponente sin cifras") << "1E" << false << "";
        QTest::newRow("desborde") << "1E40" << false << "";
    }

    void convertirNumero()
    {
        QFETCH(QString, texto);
        QFETCH(bool, numerico);
        QFETCH(QString, valor);
        QCOMPARE(esNumerico(texto), numerico);
        const auto n = kv::convertirNumero(texto);
        QCOMPARE(n.has_value(), numerico);
        if (numerico)
            QCOMPARE(n->texto(), valor);
    }

    void val_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<qint64>("entero");
        QTest::newRow("texto detras") << "  12abc" << "12" << qint64(12);
        QTest::newRow("sin numero") << "abc" << "0" << qint64(0);
        QTest::newRow("blancos dentro") << "1 2 3" << "123" << qint64(123);
        QTest::newRow("signo separado") << " - 5" << "-5" << qint64(-5);
        QTest::newRow("tab y salto") << "\t4\n2" << "42" << qint64(42);
        QTest::newRow("coma corta") << "1,234" << "1" << qint64(1);
        QTest::newRow("segundo punto") << "1.5.3" << "1.5" << qint64(2);
        QTest::newRow("medio par") << "2.5" << "2.5" << qint64(2);
        QTest::newRow("medio impar") << "3.5" << "3.5" << qint64(4);
        QTest::newRow("medio negativo") << "-2.5" << "-2.5" << qint64(-2);
        QTest::newRow("letras detras") << "7.6abc" << "7.6" << qint64(8);
        QTest::newRow("exponente") << "1.5E2x" << "150" << qint64(150);
        QTest::newRow("exponente incompleto") << "3E" << "3" << qint64(3);
        QTest::newRow("hexadecimal") << "&H1F" << "31" << qint64(31);
        QTest::newRow("octal") << "&O17" << "15" << qint64(15);
    }

    void val()
    {
        QFETCH(QString, texto);
        QFETCH(QString, valor);
        QFETCH(qint64, entero);
        QCOMPARE(kv::val(texto).texto(), valor);
        QCOMPARE(valEntero(texto), entero);
    }

    void formatoNumero_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<QString>("texto");
        const QString miles = QStringLiteral("###,###,###,##0");
        const QString entre = QStringLiteral("(###,###,###,##0)");
        const QString secciones = QStringLiteral("###,###,###,##0;(###,###,###,##0)");
        QTest::newRow("miles") << "1234567" << miles << "1,234,567";
        QTest::newRow("miles cero") << "0" << miles << "0";
        QTest::newRow("miles negativo") << "-1234" << miles << "-1,234";
        QTest::newRow("miles redondeo") << "999.5" << miles << "1,000";
        QTest::newRow("literales con signo") << "-1234" << entre << "-(1,234)";
        QTest::newRow("literales") << "1234" << entre << "(1,234)";
        QTest::newRow("seccion negativa") << "-1234" << secciones << "(1,234)";
        QTest::newRow("seccion cero") << "0" << secciones << "0";
        QTest::newRow("seccion negativa a cero") << "-0.4" << secciones << "0";
        QTest::newRow("tercera seccion") << "0" << "0;(0);cero" << "cero";
        QTest::newRow("13 lugares") << "1234.5" << "############0" << "1235";
        QTest::newRow("12 lugares negativo") << "-42" << "###########0" << "-42";
        QTest::newRow("almohadillas cero") << "0" << "###############" << "";
        QTest::newRow("almohadillas") << "1234" << "###############" << "1234";
        QTest::newRow("grupos sin cero") << "1234567" << "#,###,###,###,###" << "1,234,567";
        QTest::newRow("grupos irregulares") << "12345678901" << "##,###,###,##0" << "12,345,678,901";
        QTest::newRow("mas cifras que lugares") << "1234567" << "##0" << "1234567";
        QTest::newRow("mas cifras con grupos") << "1234567" << "###,##0" << "1,234,567";
        QTest::newRow("decimales") << "12.3456" << "##0.000" << "12.346";
        QTest::newRow("decimales negativo") << "-12.3456" << "####0.000" << "-12.346";
        QTest::newRow("medio sin entero") << "0.5" << "#.000" << ".500";
        QTest::newRow("cero sin entero") << "0" << "#.000" << ".000";
        QTest::newRow("milesima media") << "0.0005" << "#.000" << ".001";
        QTest::newRow("decimales con grupos") << "1234567.8915" << "###,###,###,##0.000" << "1,234,567.892";
        QTest::newRow("decimales opcionales llenos") << "1.257" << "0.0#" << "1.26";
        QTest::newRow("medio arriba") << "2.5" << "0" << "3";
        QTest::newRow("medio negativo") << "-2.5" << "0" << "-3";
        QTest::newRow("negativo a cero") << "-0.4" << "0" << "0";
        QTest::newRow("ceros 8") << "7" << "00000000" << "00000007";
        QTest::newRow("ceros 6") << "123" << "000000" << "000123";
        QTest::newRow("ceros 4 desborde") << "123456" << "0000" << "123456";
        QTest::newRow("ceros 20 negativo") << "-1234" << QString(20, u'0') << "-00000000000000001234";
        QTest::newRow("literal en medio") << "1234" << "00-00" << "12-34";
        QTest::newRow("sin patron") << "-1234.5" << "" << "-1234.5";
    }

    void formatoNumero()
    {
        QFETCH(QString, valor);
        QFETCH(QString, patron);
        QFETCH(QString, texto);
        QCOMPARE(formato(dec(valor), patron), texto);
    }

    void formatoTexto_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("numero con blancos") << " 1234 " << "###,###,###,##0" << "1,234";
        QTest::newRow("parentesis") << "(1,234)" << "###,###,###,##0;(###,###,###,##0)" << "(1,234)";
        QTest::newRow("no numerico") << "abc" << "000" << "abc";
        QTest::newRow("vacio") << "" << "###############" << "";
    }

    void formatoTexto()
    {
        QFETCH(QString, texto);
        QFETCH(QString, patron);
        QFETCH(QString, resultado);
        QCOMPARE(formato(QStringView(texto), patron), resultado);
    }

    void formatoFecha()
    {
        const QDateTime momento(QDate(2024, 3, 5), QTime(7, 8, 9));
        QCOMPARE(formato(momento, u"dd/mm/yyyy"), QStringLiteral("05/03/2024"));
        QCOMPARE(formato(momento, u"yyyymmdd"), QStringLiteral("20240305"));
        QCOMPARE(formato(momento, u"hh:mm:ss"), QStringLiteral("07:08:09"));
        QCOMPARE(formato(momento, u"d/m/yy h:nn:s"), QStringLiteral("5/3/24 7:08:9"));
        QCOMPARE(formato(momento, u"hh mm dd mm"), QStringLiteral("07 08 05 03"));
        QCOMPARE(formato(momento.date(), u"dd/mm/yyyy hh:nn"), QStringLiteral("05/03/2024 00:00"));
        QCOMPARE(formato(QDate(), u"dd/mm/yyyy"), QString());
        QCOMPARE(fechaCorta(QDate(1999, 12, 31)), QStringLiteral("31/12/1999"));
        QCOMPARE(horaLarga(QTime(23, 5, 0)), QStringLiteral("23:05:00"));
    }

    void leerFecha_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QDate>("fecha");
        QTest::newRow("completa") << "05/03/2024" << QDate(2024, 3, 5);
        QTest::newRow("cifras sueltas") << "5/3/2024" << QDate(2024, 3, 5);
        QTest::newRow("primer dia") << "01/01/1850" << QDate(1850, 1, 1);
        QTest::newRow("ultimo dia") << "01/01/2500" << QDate(2500, 1, 1);
        QTest::newRow("antes") << "31/12/1849" << QDate();
        QTest::newRow("despues") << "02/01/2500" << QDate();
        QTest::newRow("31 de febrero") << "31/02/2020" << QDate();
        QTest::newRow("29 de febrero") << "29/02/2020" << QDate(2020, 2, 29);
        QTest::newRow("anio corto") << "05/03/24" << QDate();
        QTest::newRow("tres cifras") << "005/03/2024" << QDate();
        QTest::newRow("guiones") << "05-03-2024" << QDate();
        QTest::newRow("blanco") << " 05/03/2024" << QDate();
        QTest::newRow("vacio") << "" << QDate();
    }

    void leerFecha()
    {
        QFETCH(QString, texto);
        QFETCH(QDate, fecha);
        QCOMPARE(kv::leerFecha(texto), fecha);
    }

    void cp1252()
    {
        const QString texto = QStringLiteral("ñáéíóú€Ñ");
        const QByteArray bytes = aCp1252(texto);
        QCOMPARE(bytes, QByteArray("\xF1\xE1\xE9\xED\xF3\xFA\x80\xD1"));
        QCOMPARE(desdeCp1252(bytes), texto);

        // Outside the code page: one "?" per character, also beyond the basic plane.
        QCOMPARE(aCp1252(QStringLiteral("a\u4E2D\u0080b\U0001F600c")), QByteArray("a??b?c"));
        QCOMPARE(codigoCp1252(QChar(0x0153)), 0x9C);
        QCOMPARE(codigoCp1252(QChar(0x0100)), int('?'));
        QCOMPARE(codigoCp1252(QChar(0x00FF)), 0xFF);
    }

    void cp1252Altos()
    {
        const char16_t esperados[32] = {
            u'€', 0x81, u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0x8D, u'Ž', 0x8F,
            0x90, u'‘', u'’', u'“', u'”', u'•', u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', 0x9D, u'ž', u'Ÿ',
        };
        QByteArray bytes;
        QString texto;
        for (int i = 0; i < 32; ++i) {
            bytes += char(0x80 + i);
            texto += QChar(esperados[i]);
        }
        QCOMPARE(desdeCp1252(bytes), texto);
        QCOMPARE(aCp1252(texto), bytes);
    }

    void recortarBlancos()
    {
        QCOMPARE(kv::recortarBlancos(u"  a b  "), QStringLiteral("a b"));
        QCOMPARE(kv::recortarBlancos(u"\t a \n"), QStringLiteral("\t a \n"));
        QCOMPARE(kv::recortarBlancos(u"   "), QString());
    }
};

QTEST_GUILESS_MAIN(TstFormato)
#include "tst_formato.moc"
