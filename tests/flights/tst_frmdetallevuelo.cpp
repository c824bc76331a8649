// The flight window as the declaration window uses it: flights typed one
// after another in "NEW", one flight changed in "MOD", and leaving.
#include "flights/frmdetallevuelo.h"
#include "store/ui/accesible.h"
#include "vuelosprueba.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

// What the declaration window hands over, and how often it was told that a
// flight was saved.
struct Apertura
{
    BaseDePrueba base;
    int grabados = 0;
    std::unique_ptr<FrmDetalleVuelo> ventana;

    void abrir(const QString &accion, const QVariantMap &fila = {})
    {
        abrirDeclaracion(base, QStringLiteral("200403"));
        ParametrosVentana p;
        p.nombre = QStringLiteral("Detalle");
        p.accion = accion;
        p.periodoMostrado = QStringLiteral("03/2004");
        p.fila = fila;
        p.alGrabar = [this] { ++grabados; };
        ventana = std::make_unique<FrmDetalleVuelo>(base.contexto(), p);
        ventana->cargar();
        ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(ventana.get()));
        QApplication::setActiveWindow(ventana.get());
    }

    void teclear(QLineEdit *campo, const QString &texto)
    {
        campo->setFocus();
        campo->selectAll();
        QTest::keyClicks(campo, texto);
    }

    void teclearVuelo(const QString &fecha, const QString &codigo, const QString &afectos)
    {
        ventana->mkeFecArribo()->setFocus();
        ventana->mkeFecArribo()->home(false);
        QTest::keyClicks(ventana->mkeFecArribo(), fecha);
        teclear(ventana->txtCodVuelo(), codigo);
        for (int i = 0; i < DatosVuelo::kCantidades; ++i)
            teclear(ventana->txtDatosDet(i),
                i == 0       ? QStringLiteral("9")
                    : i == 8 ? afectos
                             : QStringLiteral("0"));
    }
};

} // namespace

class TstFrmDetalleVuelo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nuevoGrabaCadaVueloYQuedaAbierto()
    {
        Apertura a;
        a.abrir(QStringLiteral("NEW"));
        QCOMPARE(a.ventana->txtDatosDet(6)->accessibleName(),
            QStringLiteral("Agentes Diplomáticos y Organismos Internacionales"));
        QCOMPARE(a.ventana->txtDatosDet(6)->accessibleDescription(), QStringLiteral("txtDatosDet(6)"));

        a.teclearVuelo(QStringLiteral("15032004"), QStringLiteral("ab1"), QStringLiteral("100"));
        QCOMPARE(a.ventana->txtCodVuelo()->text(), QStringLiteral("AB1"));
        QCOMPARE(a.ventana->txtImpuestoDol()->text(), QStringLiteral("1500"));
        QTest::mouseClick(a.ventana->cmdAceptar(), Qt::LeftButton);
        QVERIFY(a.ventana->isVisible());
        QCOMPARE(a.ventana->mkeFecArribo()->displayText(), QStringLiteral("__/__/____"));
        QCOMPARE(a.ventana->txtCodVuelo()->text(), QString());
        QCOMPARE(a.ventana->txtImpuestoDol()->text(), QString());
        QCOMPARE(QApplication::focusWidget(), a.ventana->mkeFecArribo());

        a.teclearVuelo(QStringLiteral("16032004"), QStringLiteral("CD2"), QStringLiteral("3"));
        QTest::mouseClick(a.ventana->cmdAceptar(), Qt::LeftButton);
        QCOMPARE(a.base.contar(QStringLiteral("TMPF517DETVP"),
                     QStringLiteral("doc_id_d=? AND periodo='200403'"), { kRucVuelos }),
            2);
        QCOMPARE(filaGuardada(a.base, QStringLiteral("CD2")).value(QStringLiteral("mto_dolar")).toString(),
            QStringLiteral("45"));
        QCOMPARE(a.grabados, 2);
        QVERIFY(a.base.mensajes().mostrados().isEmpty());

        // The same flight again: refused, nothing written, the boxes kept.
        a.teclearVuelo(QStringLiteral("15032004"), QStringLiteral("AB1"), QStringLiteral("5"));
        QTest::mouseClick(a.ventana->cmdAceptar(), Qt::LeftButton);
        QCOMPARE(a.base.mensajes().textos(),
            QStringList({QStringLiteral("El Vuelo ya se encuentra registrado."),
                QStringLiteral("No se pudieron grabar los datos del vuelo.")}));
        QCOMPARE(a.ventana->txtCodVuelo()->text(), QStringLiteral("AB1"));
        QCOMPARE(a.base.contar(QStringLiteral("TMPF517DETVP")), 2);

        QTest::mouseClick(a.ventana->cmdSalir(), Qt::LeftButton);
        QVERIFY(!a.ventana->isVisible());
        QCOMPARE(a.base.mensajes().mostrados().size(), 2);
    }

    void modificarCambiaUnVueloYCierra()
    {
        Apertura a;
        abrirDeclaracion(a.base, QStringLiteral("200403"));
        DatosVuelo vuelo = vueloTecleado(QStringLiteral("15/03/2004"), QStringLiteral("AB1"));
        vuelo.impuesto = QStringLiteral("1500");
        QVERIFY(DetalleVuelo(a.base.datos()).GrabaDatos(vuelo));
        a.abrir(QStringLiteral("MOD"), filaGuardada(a.base, QStringLiteral("AB1")));
        QVERIFY(!a.ventana->mkeFecArribo()->isEnabled());
        QVERIFY(!a.ventana->txtCodVuelo()->isEnabled());
        QCOMPARE(a.ventana->mkeFecArribo()->displayText(), QStringLiteral("15/03/2004"));
        QCOMPARE(a.ventana->txtImpuestoDol()->text(), QStringLiteral("1500"));

        a.teclear(a.ventana->txtDatosDet(8), QStringLiteral("20"));
        QCOMPARE(a.ventana->txtImpuestoDol()->text(), QStringLiteral("300"));
        QTest::mouseClick(a.ventana->cmdAceptar(), Qt::LeftButton);
        QVERIFY(!a.ventana->isVisible());
        QCOMPARE(a.ventana->result(), int(QDialog::Accepted));
        QCOMPARE(a.grabados, 1);
        const QVariantMap fila = filaGuardada(a.base, QStringLiteral("AB1"));
        QCOMPARE(a.base.contar(QStringLiteral("TMPF517DETVP")), 1); // changed in place, key kept
        QCOMPARE(fila.value(QStringLiteral("num_afectos")).toString(), QStringLiteral("20"));
        QCOMPARE(fila.value(QStringLiteral("mto_dolar")).toString(), QStringLiteral("300"));
    }

    void salirDeModificar_data()
    {
        QTest::addColumn<QString>("afectos"); // empty: untouched
        QTest::addColumn<int>("respuesta");
        QTest::addColumn<int>("preguntas");
        QTest::addColumn<QString>("guardado");
        QTest::newRow("untouched: no question") << "" << int(Respuesta::No) << 0 << "100";
        QTest::newRow("changed, not saved") << "7" << int(Respuesta::No) << 1 << "100";
        QTest::newRow("changed and saved") << "7" << int(Respuesta::Si) << 1 << "7";
    }
    void salirDeModificar()
    {
        QFETCH(QString, afectos);
        QFETCH(int, respuesta);
        QFETCH(int, preguntas);
        QFETCH(QString, guardado);
        Apertura a;
        abrirDeclaracion(a.base, QStringLiteral("200403"));
        DatosVuelo vuelo = vueloTecleado(QStringLiteral("15/03/2004"), QStringLiteral("AB1"));
        vuelo.impuesto = QStringLiteral("98765432"); // whatever the tax, untouched is untouched
        QVERIFY(DetalleVuelo(a.base.datos()).GrabaDatos(vuelo));
        a.abrir(QStringLiteral("MOD"), filaGuardada(a.base, QStringLiteral("AB1")));
        if (!afectos.isEmpty())
            a.teclear(a.ventana->txtDatosDet(8), afectos);
        a.base.mensajes().responder(Respuesta(respuesta));
        QTest::keyClick(a.ventana.get(), Qt::Key_Escape);
        QVERIFY(!a.ventana->isVisible());
        QCOMPARE(a.base.mensajes().mostrados().size(), preguntas);
        if (preguntas)
            QCOMPARE(a.base.mensajes().ultimo().texto,
                QStringLiteral("Los datos han sido modificados, ¿Desea Grabar los cambios? "));
        QCOMPARE(filaGuardada(a.base, QStringLiteral("AB1")).value(QStringLiteral("num_afectos")).toString(),
            guardado);
    }
};

QTEST_MAIN(TstFrmDetalleVuelo)
#include "tst_frmdetallevuelo.moc"
