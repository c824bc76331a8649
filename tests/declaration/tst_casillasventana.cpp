// The declaration window's boxes with the real flight and payment windows
// behind its buttons: flights typed, changed and deleted summed into 390 to
// 396 after each action, the debt following what is typed, box 403 taking
// the previous payments' total, and the keys the boxes refuse.
#include "declaracionprueba.h"
#include "declaration/casillas.h"
#include "declaration/frmformulario.h"
#include "flights/frmdetallevuelo.h"
#include "payments/frmlistapagosprevios.h"
#include "payments/ventanaspagos.h"
#include "store/ui/formadepagoqdl.h"
#include "support/textoentero.h"
#include "support/ventanamodal.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

struct Escena
{
    BaseDePrueba base;
    RegistroVentanas registro;
    std::unique_ptr<frmFormulario> ventana;

    // `vuelos` < 0: nothing stored, the taxpayer alone.
    explicit Escena(int vuelos = -1)
    {
        if (vuelos >= 0)
            guardarDeclaracionCompleta(base, vuelos);
        else
            base.agregarContribuyente(kRuc, kRazon, QStringLiteral("PRUEBA"));
        registrarVentanaDetalle(registro, base.contexto());
        registrarVentanasPagos(registro, base.contexto());
        base.contexto().ventanas = &registro;
    }

    // "REG": the sent copy of enviarDeclaracion.
    frmFormulario &abrir(const QString &accion)
    {
        elegirDeclaracion(base.contexto());
        ParametrosVentana p;
        p.nombre = QStringLiteral("Formulario");
        p.accion = accion;
        if (accion == Declaracion::kRegistrar) {
            p.historico = true;
            p.texto = QStringLiteral("001");
            p.numOrden = QStringLiteral("12345678");
            p.numControl = QStringLiteral("C0001");
        }
        ventana = std::make_unique<frmFormulario>(base.contexto(), p, nullptr);
        ventana->cargar();
        ventana->show();
        reactivar();
        return *ventana;
    }

    // The window active again after a window it opened has closed, as a
    // window manager leaves it.
    void reactivar()
    {
        ventana->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(ventana.get()));
    }

    QLineEdit *caja(int casilla) const { return ventana->txtValor(QString::number(casilla)); }
    QStringList cajas(const QList<int> &casillas) const
    {
        QStringList r;
        for (int c : casillas)
            r << caja(c)->text();
        return r;
    }
    void teclear(int casilla, const QString &texto)
    {
        caja(casilla)->setFocus();
        caja(casilla)->selectAll();
        QTest::keyClicks(caja(casilla), texto);
    }
    void elegirFila(int fila)
    {
        ventana->grdDetalle()->setCurrentIndex(ventana->grdDetalle()->model()->index(fila, 0));
    }
};

// Counts in the window's order: crew, staff, transit, extradited, forced
// arrival, deported, diplomats, bought before, subject to the tax.
void teclearVuelo(FrmDetalleVuelo *d, const QString &fecha, const QString &codigo, const QStringList &cantidades)
{
    d->mkeFecArribo()->home(false);
    QTest::keyClicks(d->mkeFecArribo(), fecha);
    QTest::keyClicks(d->txtCodVuelo(), codigo);
    for (int i = 0; i < cantidades.size(); ++i)
        QTest::keyClicks(d->txtDatosDet(i), cantidades.at(i));
}

} // namespace

class TstCasillasVentana : public QObject
{
    Q_OBJECT

private slots:
    void vuelosTecleadosModificadosYEliminados()
    {
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kNueva);
        v.CmbRuc()->setCurrentIndex(0);
        Q_EMIT v.CmbRuc()->activated(0);
        v.MkePeriodo()->setFocus();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("032024"));
        QCOMPARE(e.base.contexto().sPeriodo, kPeriodo);

        QStringList trasElPrimero;
        QString limpia;
        enLaVentanaModal<FrmDetalleVuelo>([&](FrmDetalleVuelo *d) {
            teclearVuelo(d, QStringLiteral("15032024"), QStringLiteral("LA100"),
                         {"10", "2", "5", "0", "1", "0", "0", "3", "100"});
            d->cmdAceptar()->click();
            limpia = d->mkeFecArribo()->displayText() + d->txtCodVuelo()->text();
            trasElPrimero = e.cajas({393, 395, 396});
            teclearVuelo(d, QStringLiteral("16032024"), QStringLiteral("LA200"),
                         {"8", "1", "2", "1", "0", "1", "2", "0", "50"});
            d->cmdAceptar()->click();
            d->cmdSalir()->click();
        });
        v.cmdAccion(0)->click();
        // The window stayed open and cleared; the boxes followed each flight.
        QCOMPARE(limpia, QStringLiteral("__/__/____"));
        QCOMPARE(trasElPrimero, QStringList({"100", "1", "1,500"}));
        QCOMPARE(e.cajas({395, 396}), QStringList({"2", "2,250"}));

        // Newest first: the flight of the 15th is the second row.
        e.elegirFila(1);
        bool cerrada = false;
        enLaVentanaModal<FrmDetalleVuelo>([&](FrmDetalleVuelo *d) {
            d->txtDatosDet(8)->selectAll();
            QTest::keyClicks(d->txtDatosDet(8), QStringLiteral("120"));
            d->cmdAceptar()->click();
            cerrada = !d->isVisible();
        });
        v.cmdAccion(1)->click();
        QVERIFY(cerrada);
        QCOMPARE(e.cajas({396}), QStringList({"2,550"}));

        e.elegirFila(0);
        e.base.mensajes().responder(Respuesta::Si);
        v.cmdAccion(2)->click();
        QCOMPARE(e.cajas({390, 391, 392, 393, 394, 395, 396}),
                 QStringList({"21", "12", "9", "120", "129", "1", "1,800"}));
        // The rate each flight was taxed at, beside its tax.
        const QAbstractItemModel *grilla = v.grdDetalle()->model();
        const int tasa = v.grdDetalle()->horizontalHeader()->logicalIndex(Declaracion::kMtoDolar + 1);
        QCOMPARE(grilla->headerData(tasa, Qt::Horizontal).toString(), QStringLiteral("Tasa Vigente ( $ )"));
        QCOMPARE(grilla->index(0, tasa).data().toString(), QStringLiteral("15.00"));

        // 1 800 × 3.456 = 6 220.8
        v.SSTab1()->setCurrentIndex(frmFormulario::kVuelos);
        e.teclear(397, QStringLiteral("3.456"));
        QCOMPARE(e.cajas({401, 404, 406}), QStringList({"6,221", "6,221", "6,221"}));
        QCOMPARE(v.txtImpSoles()->text(), QStringLiteral("6,221"));
    }

    void deudaSigueALoTecleado()
    {
        Escena e(2);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
        // Stored figures read as they do once left.
        QCOMPARE(e.cajas({397, 401, 402, 403, 404, 410}),
                 QStringList({"3.450", "247,365", "(500)", "(300)", "246,565", "246,565"}));
        QVERIFY(!v.modificado());

        e.teclear(402, QStringLiteral("1234"));
        QCOMPARE(e.caja(402)->text(), QStringLiteral("1234"));
        e.caja(405)->setFocus();
        QCOMPARE(e.cajas({402, 404, 406}), QStringList({"(1,234)", "245,831", "245,831"}));
        QVERIFY(v.modificado());

        e.teclear(410, QStringLiteral("1000"));
        QCOMPARE(v.FormaDePagoQDL1()->importe(), QStringLiteral("1000"));
        e.caja(405)->setFocus();
        QCOMPARE(v.FormaDePagoQDL1()->importe(), QStringLiteral("1,000"));
        QCOMPARE(v.casillas().SaldoaPagar().value_or(QString()),
                 QStringLiteral("KORVAL generará una orden de pago por la diferencia.\n"));

        // The longest amount typed reads whole in the box and in the panel.
        e.teclear(410, QStringLiteral("123456789012"));
        e.caja(405)->setFocus();
        QCOMPARE(e.caja(410)->text(), QStringLiteral("123,456,789,012"));
        QVERIFY(muestraEntero(e.caja(410), e.caja(410)->text()));
        QVERIFY(muestraEntero(v.FormaDePagoQDL1()->campoImporte(), v.FormaDePagoQDL1()->importe()));
    }

    // A stored declaration opens as it was stored, even where its figures
    // do not follow from each other; what the user changes is recomputed
    // from there, and a save without changes keeps the stored figures.
    void abreComoSeGuardo()
    {
        Escena e(2);
        e.base.ejecutar(QStringLiteral("UPDATE DET SET i_valor='1000' WHERE casilla IN ('401','404','406')"));
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        QCOMPARE(e.cajas({396, 397, 401, 402, 403, 404, 405, 406}),
                 QStringList({"71,700", "3.450", "1,000", "(500)", "(300)", "1,000", "0", "1,000"}));
        QCOMPARE(v.txtImpSoles()->text(), QStringLiteral("1,000"));
        QVERIFY(!v.modificado());

        e.base.mensajes().responder(Respuesta::Aceptar);
        v.CmdGrabar()->click();
        const QString guardadas = QStringLiteral("SELECT i_valor FROM DET WHERE casilla IN ('401','404','406') "
                                                 "ORDER BY casilla");
        QCOMPARE(e.base.filas(guardadas), QStringList({"1000", "1000", "1000"}));

        v.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
        e.teclear(405, QStringLiteral("5"));
        QCOMPARE(e.cajas({401, 404, 406}), QStringList({"1,000", "1,000", "1,005"}));
    }

    // A key, Delete or a click in 403 opens the list; its total comes back
    // into 403 as a deduction, as a stored declaration shows it, and is
    // stored with that sign.
    void pagosPreviosEnLa403()
    {
        Escena e(2);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
        e.caja(403)->setFocus();
        QStringList vistos;
        enLaVentanaModal<FrmListaPagosPrevios>([&](FrmListaPagosPrevios *l) {
            vistos << l->MkePeriodo()->displayText() << l->txtTotPagosPrevios()->text();
            e.base.mensajes().responder(Respuesta::Si);
            l->cmdAccion(FrmListaPagosPrevios::kEliminar)->click();
            l->cmdAccion(FrmListaPagosPrevios::kSalir)->click();
        });
        QTest::keyClick(e.caja(403), Qt::Key_5);
        e.reactivar();
        QCOMPARE(vistos, QStringList({"03/2024", "300"}));
        QVERIFY(v.modificado());
        QCOMPARE(e.cajas({403, 404}), QStringList({"(0)", "246,865"})); // 247 365 − 500

        e.base.ejecutar(
            QStringLiteral("INSERT INTO TMPF517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, semana, "
                           "cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, tip_cambio, "
                           "mto_dolar, cnumero) VALUES (6,?,?,'0517',0,'5841','00000002','071301',"
                           "'2024-03-20','4456','3.456','1289','')"),
            {kRuc, kPeriodo});
        enLaVentanaModal<FrmListaPagosPrevios>(
            [](FrmListaPagosPrevios *l) { l->cmdAccion(FrmListaPagosPrevios::kSalir)->click(); });
        QTest::keyClick(e.caja(403), Qt::Key_Delete);
        e.reactivar();
        QCOMPARE(v.focusWidget(), e.caja(403));
        QCOMPARE(e.cajas({403, 404}), QStringList({"(4,456)", "242,409"}));
        e.caja(405)->setFocus();
        QCOMPARE(e.cajas({403, 404}), QStringList({"(4,456)", "242,409"}));

        bool abierta = false;
        enLaVentanaModal<FrmListaPagosPrevios>([&](FrmListaPagosPrevios *l) {
            abierta = true;
            l->cmdAccion(FrmListaPagosPrevios::kSalir)->click();
        });
        QTest::mouseClick(e.caja(403), Qt::LeftButton);
        e.reactivar();
        QVERIFY(abierta);
        QCOMPARE(e.caja(403)->text(), QStringLiteral("(4,456)"));
        abierta = false;
        enLaVentanaModal<FrmListaPagosPrevios>([&](FrmListaPagosPrevios *) { abierta = true; });
        QMouseEvent doble(QEvent::MouseButtonDblClick, QPointF(4, 4), e.caja(403)->mapToGlobal(QPointF(4, 4)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e.caja(403), &doble);
        e.reactivar();
        QVERIFY(abierta);

        e.base.mensajes().responder(Respuesta::Aceptar);
        v.CmdGrabar()->click();
        QCOMPARE(e.base.valor(QStringLiteral("SELECT i_valor FROM DET WHERE casilla='403'")).toString(),
                 QStringLiteral("-4456"));
    }

    // A sent declaration's payments are only looked at: 403 stays as sent.
    void enviadaSoloMiraLosPagos()
    {
        Escena e;
        enviarDeclaracion(e.base);
        guardarCasilla(e.base, QStringLiteral("403"), QStringLiteral("300"), QStringLiteral("001"));
        e.base.ejecutar(
            QStringLiteral("INSERT INTO HF517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, correl, semana, "
                           "cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, tip_cambio, "
                           "mto_dolar, cnumero) VALUES (6,?,?,'0517','001',0,'5841','00000002','071301',"
                           "'2024-03-20','4456','3.456','1289','')"),
            {kRuc, kPeriodo});
        frmFormulario &v = e.abrir(Declaracion::kRegistrar);
        v.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
        QVERIFY(!e.caja(405)->isEnabled());
        QString visto;
        enLaVentanaModal<FrmListaPagosPrevios>([&](FrmListaPagosPrevios *l) {
            if (l->bHistorico() && l->cmdAccion(FrmListaPagosPrevios::kNuevo)->isHidden())
                visto = l->txtTotPagosPrevios()->text();
            l->cmdAccion(FrmListaPagosPrevios::kSalir)->click();
        });
        e.caja(403)->setFocus();
        QTest::keyClick(e.caja(403), Qt::Key_Delete);
        QCOMPARE(visto, QStringLiteral("4456"));
        QCOMPARE(e.caja(403)->text(), QStringLiteral("(300)"));
    }

    // Every figure reads whole: the widest each field can show, at the
    // screen's scale (this runs again at 150 %).
    void cifrasEnteras_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        for (int casilla : Casillas::lista()) {
            const QString texto = casilla == 397 ? QStringLiteral("9.999")
                : casilla == 402 || casilla == 403  ? QStringLiteral("(99,999,999,999,999)")
                                                    : QStringLiteral("99,999,999,999,999");
            QTest::addRow("txtValor(%d)", casilla) << QString::number(casilla) << texto;
        }
        QTest::newRow("txtImpSoles") << "txtImpSoles" << "99,999,999,999,999";
        QTest::newRow("importe") << "importe" << "99,999,999,999,999";
    }
    void cifrasEnteras()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        Escena e(2);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QCOMPARE(v.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        QLineEdit *caja = campo == u"txtImpSoles" ? v.txtImpSoles()
            : campo == u"importe"                 ? v.FormaDePagoQDL1()->campoImporte()
                                                  : v.txtValor(campo);
        for (int i = 0; i < v.SSTab1()->count(); ++i) {
            if (v.SSTab1()->widget(i)->isAncestorOf(caja))
                v.SSTab1()->setCurrentIndex(i);
        }
        QVERIFY2(muestraEntero(caja, texto),
                 qPrintable(QStringLiteral("%1 of %2 pixels seen").arg(recorridoDelCursor(caja, texto).ancho())
                                .arg(QFontMetrics(caja->font()).horizontalAdvance(texto))));
    }

    void teclasDeLasCasillas()
    {
        Escena e(2);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.SSTab1()->setCurrentIndex(frmFormulario::kVuelos);
        e.teclear(397, QStringLiteral("10"));
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
        QTest::keyClick(e.caja(397), Qt::Key_5);
        QCOMPARE(e.base.mensajes().textos(), QStringList {QStringLiteral("El tipo de cambio debe ser menor a 10")});
        QCOMPARE(e.caja(397)->text(), QString());
        QCOMPARE(e.caja(401)->text(), QStringLiteral("0"));

        QTest::keyClicks(e.caja(397), QStringLiteral("3.45"));
        QTest::keyClick(e.caja(397), Qt::Key_Backspace);
        QTest::keyClick(e.caja(397), Qt::Key_Return);
        QVERIFY(v.focusWidget() != e.caja(397));
        QCOMPARE(e.caja(397)->text(), QStringLiteral("3.400"));

        QApplication::clipboard()->setText(QStringLiteral("999"));
        v.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
        e.teclear(405, QStringLiteral("7a."));
        QTest::keyClick(e.caja(405), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.caja(405)->text(), QStringLiteral("7"));
        QCOMPARE(QApplication::clipboard()->text(), QString());
    }
};

QTEST_MAIN(TstCasillasVentana)
#include "tst_casillasventana.moc"
