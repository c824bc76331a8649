// The two shared controls: the status bar's properties, and the payment
// panel's properties, bank list and user choices.
#include "store/ui/barraestadoqdl.h"
#include "store/ui/formadepagoqdl.h"
#include "support/basedeprueba.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

void agregarBanco(BaseDePrueba &base, const QString &codigo, const QString &nombre)
{
    base.ejecutar(QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES ('004',?,?,'')"),
                  {codigo, nombre});
}

QStringList codigos(const QComboBox *lista)
{
    QStringList r;
    for (int i = 0; i < lista->count(); ++i)
        r << lista->itemData(i).toString();
    return r;
}

} // namespace

class TstControles : public QObject
{
    Q_OBJECT

private slots:
    void barraPropiedades_data()
    {
        QTest::addColumn<QString>("propiedad");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("numdoc") << "numdoc" << QVariant(QStringLiteral("20100000001")) << "RUC: 20100000001";
        QTest::newRow("razonsocial") << "razonsocial" << QVariant(QStringLiteral("ALFA D'ONOFRIO S.A."))
                                     << "ALFA D'ONOFRIO S.A.";
        QTest::newRow("formulario") << "formulario" << QVariant(QStringLiteral("0517")) << "Formulario: 0517";
        QTest::newRow("periodo_ejercicio") << "periodo_ejercicio" << QVariant(QStringLiteral("03/2024"))
                                           << "Período: 03/2024";
        QTest::newRow("semana") << "semana" << QVariant(2) << "Semana: 2";
        QTest::newRow("esruc") << "esruc" << QVariant(1) << "";
    }

    void barraPropiedades()
    {
        QFETCH(QString, propiedad);
        QFETCH(QVariant, valor);
        QFETCH(QString, mostrado);
        BarradeEstadoQDL barra;
        QVERIFY(barra.setProperty(propiedad.toLatin1().constData(), valor));
        QCOMPARE(barra.property(propiedad.toLatin1().constData()), valor);
        if (!mostrado.isEmpty())
            QCOMPARE(barra.textoMostrado(propiedad), mostrado);
    }

    void bancosSinCodigo00()
    {
        BaseDePrueba base;
        QVERIFY(base.valida());
        agregarBanco(base, QStringLiteral("11"), QStringLiteral("BANCO CONTINENTAL"));
        agregarBanco(base, QStringLiteral("00"), QStringLiteral("SIN BANCO"));
        agregarBanco(base, QStringLiteral("02"), QStringLiteral("BANCO DE CREDITO DEL PERU - OFICINA PRINCIPAL LIMA"));
        agregarBanco(base, QStringLiteral("00 "), QStringLiteral("SIN BANCO CON BLANCO"));
        FormaDePagoQDL panel;
        panel.cargarBancos(base.datos());
        QCOMPARE(codigos(panel.listaBancos()), (QStringList{"02", "11"}));
        // The name is the first 36 characters of the parameter.
        QCOMPARE(panel.listaBancos()->itemText(0), QStringLiteral("02 - BANCO DE CREDITO DEL PERU - OFICINA"));
    }

    void propiedadesAlPanel_data()
    {
        QTest::addColumn<QString>("formapago");
        QTest::addColumn<QString>("banco");
        QTest::addColumn<QString>("numcheque");
        QTest::addColumn<QString>("habilitado");
        QTest::addColumn<QString>("marcada"); // E, C or nothing
        QTest::addColumn<int>("indiceBanco");
        QTest::addColumn<bool>("chequeEditable");
        QTest::addColumn<bool>("opcionesEditables");
        QTest::newRow("nueva declaracion") << "X" << "XX" << "" << "1" << "" << -1 << false << true;
        QTest::newRow("efectivo guardado") << "E" << " " << " " << "1" << "E" << -1 << false << true;
        QTest::newRow("cheque guardado") << "C" << "11" << "004512" << "1" << "C" << 1 << true << true;
        QTest::newRow("cheque de banco desconocido") << "C" << "77" << "1" << "1" << "C" << -1 << true << true;
        QTest::newRow("enviada") << "C" << "02" << "9" << "0" << "C" << 0 << false << false;
    }

    void propiedadesAlPanel()
    {
        QFETCH(QString, formapago);
        QFETCH(QString, banco);
        QFETCH(QString, numcheque);
        QFETCH(QString, habilitado);
        QFETCH(QString, marcada);
        QFETCH(int, indiceBanco);
        QFETCH(bool, chequeEditable);
        QFETCH(bool, opcionesEditables);
        BaseDePrueba base;
        agregarBanco(base, QStringLiteral("02"), QStringLiteral("BANCO DE CREDITO"));
        agregarBanco(base, QStringLiteral("11"), QStringLiteral("BANCO CONTINENTAL"));
        FormaDePagoQDL panel;
        QSignalSpy cambios(&panel, &FormaDePagoQDL::cambiado);
        // The declaration may set the bank before the list is filled.
        panel.setProperty("banco", banco);
        panel.cargarBancos(base.datos());
        panel.setProperty("formapago", formapago);
        panel.setProperty("numcheque", numcheque);
        panel.setProperty("habilitado", habilitado);
        panel.setProperty("importe", QStringLiteral("1,250"));

        QCOMPARE(panel.property("formapago").toString(), formapago);
        QCOMPARE(panel.property("banco").toString(), banco);
        QCOMPARE(panel.property("numcheque").toString(), numcheque);
        QCOMPARE(panel.property("habilitado").toString(), habilitado);
        QCOMPARE(panel.property("importe").toString(), QStringLiteral("1,250"));
        QCOMPARE(panel.opcionEfectivo()->isChecked(), marcada == u"E");
        QCOMPARE(panel.opcionCheque()->isChecked(), marcada == u"C");
        QCOMPARE(panel.listaBancos()->currentIndex(), indiceBanco);
        QCOMPARE(panel.campoCheque()->text(), numcheque.trimmed());
        QCOMPARE(panel.campoCheque()->isEnabled(), chequeEditable);
        QCOMPARE(panel.listaBancos()->isEnabled(), chequeEditable);
        QCOMPARE(panel.opcionEfectivo()->isEnabled(), opcionesEditables);
        QCOMPARE(panel.campoImporte()->text(), QStringLiteral("1,250"));
        QVERIFY(panel.campoImporte()->isReadOnly());
        // Only the user's own changes are announced.
        QCOMPARE(cambios.count(), 0);
    }

    void eleccionesDelUsuario()
    {
        BaseDePrueba base;
        agregarBanco(base, QStringLiteral("02"), QStringLiteral("BANCO DE CREDITO"));
        agregarBanco(base, QStringLiteral("11"), QStringLiteral("BANCO CONTINENTAL"));
        FormaDePagoQDL panel;
        panel.cargarBancos(base.datos());
        panel.setFormapago(FormaDePagoQDL::kSinElegir);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy cambios(&panel, &FormaDePagoQDL::cambiado);

        QTest::mouseClick(panel.opcionCheque(), Qt::LeftButton);
        QCOMPARE(panel.formapago(), QStringLiteral("C"));
        QVERIFY(panel.campoCheque()->isEnabled());

        QComboBox *bancos = panel.listaBancos();
        bancos->setFocus();
        QTest::keyClick(bancos, Qt::Key_Down);
        QCOMPARE(panel.banco(), bancos->currentData().toString());
        QVERIFY(panel.banco() == u"02" || panel.banco() == u"11");

        // Digits only: letters, signs and blanks never reach the number.
        panel.campoCheque()->setFocus();
        QTest::keyClicks(panel.campoCheque(), QStringLiteral("00a4-5 12"));
        QCOMPARE(panel.numcheque(), QStringLiteral("004512"));
        const int hastaAqui = cambios.count();
        QVERIFY(hastaAqui >= 3);

        // Cash carries no bank and no cheque.
        QTest::mouseClick(panel.opcionEfectivo(), Qt::LeftButton);
        QCOMPARE(panel.formapago(), QStringLiteral("E"));
        QCOMPARE(panel.banco(), QStringLiteral("XX"));
        QCOMPARE(panel.numcheque(), QString());
        QVERIFY(!panel.campoCheque()->isEnabled());
        QCOMPARE(cambios.count(), hastaAqui + 1);

        // Read-only: the user's clicks change nothing.
        panel.setHabilitado(QStringLiteral("0"));
        QTest::mouseClick(panel.opcionCheque(), Qt::LeftButton);
        QCOMPARE(panel.formapago(), QStringLiteral("E"));
        QCOMPARE(cambios.count(), hastaAqui + 1);
    }
};

QTEST_MAIN(TstControles)
#include "tst_controles.moc"
