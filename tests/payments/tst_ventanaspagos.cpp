// The previous-payment windows as the user meets them: new payments one
// after another with the list following, a change that keeps its row
// current, the question before a deletion, the read-only list of a sent
// declaration, the total handed back, the rate's checks as typed and left,
// and what assistive tools read of every control.
#include "pagosprueba.h"
#include "payments/frmdetallepagosprevios.h"
#include "payments/frmlistapagosprevios.h"
#include "payments/modelopagosprevios.h"
#include "payments/ventanaspagos.h"
#include "store/ui/listas.h"
#include "support/textoentero.h"
#include "support/ventanamodal.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace kv;
using namespace kv::prueba;

namespace {

struct Escena
{
    BaseDePrueba base;
    RegistroVentanas registro;
    QStringList devueltos;
    std::unique_ptr<FrmListaPagosPrevios> lista;

    Escena()
    {
        abrirDeclaracion(base);
        registrarVentanasPagos(registro, base.contexto());
        base.contexto().ventanas = &registro;
    }

    void abrir(bool historico = false)
    {
        ParametrosVentana p;
        p.nombre = QStringLiteral("ListaPagosPrevios");
        p.accion = QStringLiteral("MOD");
        p.historico = historico;
        p.periodoMostrado = QStringLiteral("03/2024");
        p.devolver = [this](const QString &total) { devueltos << total; };
        lista = std::make_unique<FrmListaPagosPrevios>(base.contexto(), p);
        lista->cargar();
        lista->show();
    }

    // Payments of 300, 3,456 and 900 soles made on the 1st, 10th and 20th of March.
    void agregarPagos(int cuantos)
    {
        const char *const pagos[][4] = {
            {"1", "01/03/2024", "100", "3"}, {"2", "10/03/2024", "1000", "3.456"}, {"3", "20/03/2024", "300", "3"}};
        for (int i = 0; i < cuantos; ++i)
            agregarPago(base, pagos[i][0], pagos[i][1], pagos[i][2], pagos[i][3]);
    }

    ModeloPagosPrevios *modelo() const { return lista->modelo(); }
    QString total() const { return lista->txtTotPagosPrevios()->text(); }
    int filaActual() const { return lista->grdPagosPrevios()->currentIndex().row(); }
    void irAFila(int fila) { lista->grdPagosPrevios()->setCurrentIndex(modelo()->index(fila, 0)); }

    void dobleClic(int fila)
    {
        QTableView *grilla = lista->grdPagosPrevios();
        const QPoint punto = grilla->visualRect(modelo()->index(fila, 1)).center();
        // A widget gets the first click of a double click on its own.
        QTest::mouseClick(grilla->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(grilla->viewport(), Qt::LeftButton, {}, punto);
    }
};

// Acts on the payment window the next click opens, once it is up; the
// window is closed afterwards whatever happened, so a failure never hangs.
void enLaVentanaDePago(std::function<void(FrmDetallePagosPrevios *)> accion)
{
    enLaVentanaModal<FrmDetallePagosPrevios>(std::move(accion));
}

void llenar(FrmDetallePagosPrevios *d, const QString &boleta, const QString &operacion, const QString &fecha,
            const QString &dolares, const QString &tipoCambio)
{
    SeleccionarEnCombo(d->cboCodFormulario(), boleta, 4);
    d->txtOperacion()->setText(operacion);
    d->mkeFecPago()->setText(fecha);
    d->txtMtoDolares()->setText(dolares);
    d->txtTipCambio()->setText(tipoCambio);
}

QStringList descripciones(const QWidget *ventana)
{
    QStringList r;
    QList<QWidget *> controles;
    for (QWidget *w : ventana->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QPushButton *>(w)
            || qobject_cast<QTableView *>(w)) {
            if (w->accessibleName().isEmpty())
                r << QStringLiteral("(sin nombre) ") + w->accessibleDescription();
            r << w->accessibleDescription();
        }
    }
    r.sort();
    return r;
}

} // namespace

class TstVentanasPagos : public QObject
{
    Q_OBJECT

private slots:
    void nuevosSinCerrarConLaListaAlDia()
    {
        Escena e;
        e.abrir();
        QCOMPARE(e.total(), QStringLiteral("0"));
        bool hecho = false;
        enLaVentanaDePago([&](FrmDetallePagosPrevios *d) {
            llenar(d, QStringLiteral("5841"), QStringLiteral("123"), QStringLiteral("15/03/2024"),
                   QStringLiteral("1000"), QStringLiteral("3.456"));
            QCOMPARE(d->txtMontoSoles()->text(), QStringLiteral("3,456"));
            d->cmdAceptar()->click();
            QVERIFY(d->isVisible());
            QCOMPARE(e.modelo()->rowCount(), 1);
            QCOMPARE(e.total(), QStringLiteral("3456"));
            // Cleared for the next payment.
            QCOMPARE(d->cboCodFormulario()->currentIndex(), -1);
            QCOMPARE(d->mkeFecPago()->displayText(), QStringLiteral("__/__/____"));

            llenar(d, QStringLiteral("5842"), QStringLiteral("124"), QStringLiteral("16/03/2024"),
                   QStringLiteral("500"), QStringLiteral("2"));
            d->cmdAceptar()->click();
            QCOMPARE(e.modelo()->rowCount(), 2);
            QCOMPARE(e.total(), QStringLiteral("4456"));
            d->cmdSalir()->click();
            hecho = !d->isVisible();
        });
        e.lista->cmdAccion(FrmListaPagosPrevios::kNuevo)->click();
        QVERIFY(hecho);
        QVERIFY(e.base.mensajes().mostrados().isEmpty());

        // Newest first, as the grid shows them.
        const auto celda = [&e](int f, int c) { return e.modelo()->index(f, c).data().toString(); };
        QCOMPARE(celda(0, ModeloPagosPrevios::kFecPago), QStringLiteral("16/03/2024"));
        QCOMPARE(celda(1, ModeloPagosPrevios::kNumOperacion), QStringLiteral("00000123"));
        QCOMPARE(celda(1, ModeloPagosPrevios::kMtoSoles), QStringLiteral("3,456"));

        e.lista->cmdAccion(FrmListaPagosPrevios::kSalir)->click();
        QCOMPARE(e.devueltos, QStringList{QStringLiteral("4456")});
    }

    void listaVaciaYSalidaPorEscape()
    {
        Escena e;
        e.abrir();
        QCOMPARE(e.lista->MkePeriodo()->text(), QStringLiteral("03/2024"));
        e.lista->cmdAccion(FrmListaPagosPrevios::kModificar)->click();
        e.lista->cmdAccion(FrmListaPagosPrevios::kEliminar)->click();
        QCOMPARE(e.base.mensajes().textos(), (QStringList{QStringLiteral("No existen registros para modificar"),
                                                          QStringLiteral("No existen registros para eliminar")}));
        // Leaving any way the window offers hands the total back.
        QTest::keyClick(e.lista.get(), Qt::Key_Escape);
        QCOMPARE(e.devueltos, QStringList{QStringLiteral("0")});
        QVERIFY(!e.lista->isVisible());
    }

    void modificarDejaLaFilaActual()
    {
        Escena e;
        e.agregarPagos(3);
        e.abrir();
        QCOMPARE(e.total(), QStringLiteral("4656"));
        e.irAFila(1);

        bool hecho = false;
        enLaVentanaDePago([&](FrmDetallePagosPrevios *d) {
            QVERIFY(!d->cboCodFormulario()->isEnabled() && !d->txtOperacion()->isEnabled()
                    && !d->mkeFecPago()->isEnabled());
            QCOMPARE(d->txtDesFormulario()->text(), QStringLiteral("BOLETA DE PAGO CON DOCUMENTOS VALORADOS"));
            QCOMPARE(d->mkeFecPago()->displayText(), QStringLiteral("10/03/2024"));
            // Shown as typed once the focus is in the box, with separators otherwise.
            QCOMPARE(PagoPrevio::dolaresEditables(d->txtMtoDolares()->text()), QStringLiteral("1000"));
            QCOMPARE(d->txtMontoSoles()->text(), QStringLiteral("3,456"));
            d->txtTipCambio()->setText(QStringLiteral("2.5"));
            d->cmdAceptar()->click();
            hecho = !d->isVisible();
        });
        e.lista->cmdAccion(FrmListaPagosPrevios::kModificar)->click();
        QVERIFY(hecho);
        QCOMPARE(e.filaActual(), 1);
        QCOMPARE(e.modelo()->valor(1, ModeloPagosPrevios::kMtoSoles), QStringLiteral("2500"));
        QCOMPARE(e.total(), QStringLiteral("3700"));

        // Opened again by a double click and left untouched: no question.
        hecho = false;
        enLaVentanaDePago([&](FrmDetallePagosPrevios *d) {
            d->cmdSalir()->click();
            hecho = !d->isVisible();
        });
        e.dobleClic(1);
        QVERIFY(hecho);
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
    }

    void eliminarPreguntaPrimero()
    {
        Escena e;
        e.agregarPagos(2);
        e.abrir();
        e.irAFila(1);
        e.base.mensajes().responder(Respuesta::No);
        e.lista->cmdAccion(FrmListaPagosPrevios::kEliminar)->click();
        const Mensaje pregunta = e.base.mensajes().ultimo();
        QCOMPARE(pregunta.texto, QStringLiteral("¿Esta seguro de eliminar el pago previo?"));
        QCOMPARE(pregunta.predeterminada, Respuesta::No);
        QCOMPARE(e.modelo()->rowCount(), 2);
        QCOMPARE(e.filaActual(), 1);

        e.base.mensajes().responder(Respuesta::Si);
        e.lista->cmdAccion(FrmListaPagosPrevios::kEliminar)->click();
        QCOMPARE(e.modelo()->rowCount(), 1);
        QCOMPARE(e.total(), QStringLiteral("3456"));

        // A row left, none chosen: neither button acts.
        e.base.mensajes().limpiar();
        e.lista->grdPagosPrevios()->setCurrentIndex(QModelIndex());
        e.lista->cmdAccion(FrmListaPagosPrevios::kModificar)->click();
        e.lista->cmdAccion(FrmListaPagosPrevios::kEliminar)->click();
        QCOMPARE(e.base.mensajes().textos(), QStringList(2, QStringLiteral("Tiene que Seleccionar un registro")));
        QCOMPARE(e.modelo()->rowCount(), 1);
    }

    void declaracionEnviadaSoloSeMira()
    {
        Escena e;
        int abiertas = 0;
        e.registro.registrar(QStringLiteral("DetallePagosPrevios"), [&abiertas](const ParametrosVentana &, QWidget *) {
            ++abiertas;
            return std::unique_ptr<QDialog>();
        });
        agregarPago(e.base, QStringLiteral("2"), QStringLiteral("10/03/2024"), QStringLiteral("1000"),
                    QStringLiteral("3.456"));
        e.abrir(true);
        for (int i : {FrmListaPagosPrevios::kNuevo, FrmListaPagosPrevios::kModificar, FrmListaPagosPrevios::kEliminar})
            QVERIFY(e.lista->cmdAccion(i)->isHidden());
        QVERIFY(!e.lista->cmdAccion(FrmListaPagosPrevios::kSalir)->isHidden());
        e.dobleClic(0);
        QCOMPARE(abiertas, 0);
        e.lista->cmdAccion(FrmListaPagosPrevios::kSalir)->click();
        QCOMPARE(e.devueltos, QStringList{QStringLiteral("3456")});
    }

    void cajasAlEntrarYSalir()
    {
        BaseDePrueba base;
        abrirDeclaracion(base);
        ParametrosVentana p;
        p.accion = QStringLiteral("NEW");
        FrmDetallePagosPrevios d(base.contexto(), p);
        d.cargar();
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QLineEdit *operacion = d.txtOperacion();
        QLineEdit *dolares = d.txtMtoDolares();
        QLineEdit *tasa = d.txtTipCambio();

        operacion->setFocus();
        QTest::keyClicks(operacion, QStringLiteral("12a3"));
        dolares->setFocus();
        QCOMPARE(operacion->text(), QStringLiteral("00000123"));
        QTest::keyClicks(dolares, QStringLiteral("1234567.8"));
        tasa->setFocus();
        QCOMPARE(dolares->text(), QStringLiteral("12,345,678"));

        // A rate out of range is told on leaving; the focus comes back.
        QTest::keyClicks(tasa, QStringLiteral("1.999"));
        dolares->setFocus();
        QTRY_COMPARE(base.mensajes().textos(),
                     QStringList{QStringLiteral("El Tipo de Cambio debe ser mayor o igual a 2 y menor a 10")});
        QCOMPARE(tasa->text(), QString());
        QCOMPARE(QApplication::focusWidget(), tasa);

        // While typing, on the text before the key.
        base.mensajes().limpiar();
        QTest::keyClicks(tasa, QStringLiteral("10"));
        QVERIFY(base.mensajes().mostrados().isEmpty());
        QTest::keyClick(tasa, Qt::Key_5);
        QCOMPARE(base.mensajes().textos(), QStringList{QStringLiteral("El tipo de cambio debe ser menor a 10")});
        QCOMPARE(tasa->text(), QString());

        QTest::keyClicks(tasa, QStringLiteral("2.5."));
        QCOMPARE(tasa->text(), QStringLiteral("2.5"));
        dolares->setFocus();
        QCOMPARE(tasa->text(), QStringLiteral("2.500"));
        tasa->setFocus();
        QCOMPARE(tasa->text(), QStringLiteral("2.5"));
    }

    // The longest figure of each amount reads whole, at the screen's scale
    // (this runs again at 150 %): fifteen digits of dollars, those dollars
    // at the highest rate, and the total of many such payments.
    void cifrasEnteras_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::newRow("txtMtoDolares") << "txtMtoDolares" << "999,999,999,999,999";
        QTest::newRow("txtTipCambio") << "txtTipCambio" << "9.999";
        QTest::newRow("txtMontoSoles") << "txtMontoSoles" << "9,999,999,999,999,999";
        QTest::newRow("txtTotPagosPrevios") << "txtTotPagosPrevios" << "999999999999999999";
    }
    void cifrasEnteras()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        Escena e;
        e.abrir();
        ParametrosVentana p;
        p.accion = QStringLiteral("NEW");
        FrmDetallePagosPrevios d(e.base.contexto(), p);
        d.cargar();
        d.show();
        QLineEdit *caja = e.lista->txtTotPagosPrevios();
        for (QLineEdit *c : d.findChildren<QLineEdit *>()) {
            if (c->accessibleDescription() == campo)
                caja = c;
        }
        QCOMPARE(caja->accessibleDescription(), campo);
        QVERIFY2(muestraEntero(caja, texto),
                 qPrintable(QStringLiteral("%1 of %2 pixels seen").arg(recorridoDelCursor(caja, texto).ancho())
                                .arg(QFontMetrics(caja->font()).horizontalAdvance(texto))));
    }

    void nombresAccesibles()
    {
        Escena e;
        e.abrir();
        QCOMPARE(descripciones(e.lista.get()),
                 (QStringList{"MkePeriodo", "cmdAccion(0)", "cmdAccion(1)", "cmdAccion(2)", "cmdAccion(3)",
                              "grdPagosPrevios", "txtTotPagosPrevios", "txtTributo"}));

        ParametrosVentana p;
        p.accion = QStringLiteral("NEW");
        FrmDetallePagosPrevios d(e.base.contexto(), p);
        d.cargar();
        QCOMPARE(descripciones(&d),
                 (QStringList{"cboCodFormulario", "cmdAceptar", "cmdSalir", "mkeFecPago", "txtDesFormulario",
                              "txtMontoSoles", "txtMtoDolares", "txtOperacion", "txtTipCambio"}));
        QCOMPARE(d.txtOperacion()->accessibleName(), QStringLiteral("Número de Orden / Operación"));
    }
};

QTEST_MAIN(TstVentanasPagos)
#include "tst_ventanaspagos.moc"
