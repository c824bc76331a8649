// What assistive tools read of every window: each control a person types
// into, chooses from or presses has a name (its label) and a description
// (its name in the system).
#include "../declaration/declaracionprueba.h"
#include "app/frmacercade.h"
#include "app/frmconsultas.h"
#include "app/mdifrm.h"
#include "declaration/frmformulario.h"
#include "declaration/frmresumenmes.h"
#include "declist/frmabrirform.h"
#include "flights/frmcolumnashoja.h"
#include "flights/frmdetallevuelo.h"
#include "flights/frmimportavuelos.h"
#include "payments/ventanaspagos.h"
#include "reports/ui/frmconsist.h"
#include "reports/ui/frmimpxpag.h"
#include "reports/ui/frmpreview.h"
#include "reports/ui/ventanasreportes.h"
#include "support/ventanamodal.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

// Parts that belong to a bigger control (a grid's scroll bars and corner,
// a list's popup, a tab bar's arrows) are read through that control.
bool esParteDeOtro(const QWidget *w, const QWidget *ventana)
{
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (const QWidget *p = w->parentWidget(); p && p != ventana; p = p->parentWidget()) {
        if (p->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<const QAbstractScrollArea *>(p)
            || qobject_cast<const QComboBox *>(p) || qobject_cast<const QTabBar *>(p)
            || qobject_cast<const QAbstractSpinBox *>(p))
            return true;
    }
    return false;
}

bool esInteractivo(const QWidget *w)
{
    if (qobject_cast<const QTabWidget *>(w) || qobject_cast<const QHeaderView *>(w))
        return false;
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w)
        || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractItemView *>(w)
        || qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QTabBar *>(w)
        || qobject_cast<const QAbstractSlider *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
        || qobject_cast<const QMenuBar *>(w) || qobject_cast<const QMenu *>(w)
        || w->focusPolicy() != Qt::NoFocus;
}

QStringList sinNombre(const QWidget *ventana)
{
    QStringList faltan;
    for (const QWidget *w : ventana->findChildren<QWidget *>()) {
        if (!esInteractivo(w) || esParteDeOtro(w, ventana))
            continue;
        if (w->accessibleName().trimmed().isEmpty() || w->accessibleDescription().trimmed().isEmpty())
            faltan << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName() + u' '
                    + w->accessibleName();
    }
    return faltan;
}

std::unique_ptr<QWidget> formulario(BaseDePrueba &base, const QString &accion)
{
    Contexto &ctx = base.contexto();
    elegirDeclaracion(ctx);
    ParametrosVentana p;
    p.accion = accion;
    p.historico = accion == u"REG";
    p.texto = QStringLiteral("001");
    auto v = std::make_unique<frmFormulario>(ctx, p, nullptr);
    v->cargar();
    return v;
}

// A window the window opener shows modal, looked at once it is up.
QStringList sinNombreAlAbrir(BaseDePrueba &base, const QString &nombre, const QString &accion)
{
    Contexto &ctx = base.contexto();
    elegirDeclaracion(ctx);
    RegistroVentanas registro;
    registrarVentanaDetalle(registro, ctx);
    registrarVentanaImportar(registro, ctx);
    registrarVentanasPagos(registro, ctx);
    registrarVentanasReportes(registro, ctx, nullptr);
    registrarVentanaResumenMes(registro, ctx);
    QStringList faltan {QStringLiteral("(not opened)")};
    enLaVentanaModal<QDialog>([&](QDialog *ventana) { faltan = sinNombre(ventana); });
    ParametrosVentana p;
    p.nombre = nombre;
    p.accion = accion;
    p.periodoMostrado = QStringLiteral("03/2024");
    registro.AbrirVentana(p);
    return faltan;
}

} // namespace

class TstAccesibilidad : public QObject
{
    Q_OBJECT

private slots:
    void controlesConNombre_data()
    {
        QTest::addColumn<QString>("ventana");
        for (const char *v : {"principal", "lista", "bancos", "acerca", "previa", "paginas",
                              "inconsistencias", "formulario NEW", "formulario MOD", "formulario REG",
                              "Detalle NEW", "Detalle MOD", "ImportarVuelos NEW", "ListaPagosPrevios MOD",
                              "DetallePagosPrevios NEW", "ListaImprimirFormularios IMP", "ResumenMes MOD",
                              "columnas de la hoja", "columnas del CSV"})
            QTest::newRow(v) << QString::fromLatin1(v);
    }

    void controlesConNombre()
    {
        QFETCH(QString, ventana);
        BaseDePrueba base;
        guardarDeclaracionCompleta(base, 2);
        Contexto &ctx = base.contexto();
        std::unique_ptr<QWidget> w;
        if (ventana == u"principal") {
            w = std::make_unique<MDIFrm>(ctx);
        } else if (ventana == u"lista") {
            ParametrosVentana p;
            p.accion = QStringLiteral("MOD");
            auto lista = std::make_unique<FrmAbrirForm>(ctx, p, nullptr);
            lista->cargar();
            w = std::move(lista);
        } else if (ventana == u"bancos") {
            w = std::make_unique<FrmConsultas>(ctx);
        } else if (ventana == u"acerca") {
            w = std::make_unique<frmAcercade>();
        } else if (ventana == u"previa") {
            w = std::make_unique<frmPreview>(ctx);
        } else if (ventana == u"paginas") {
            w = std::make_unique<frmImpxPag>(ctx);
        } else if (ventana == u"inconsistencias") {
            w = std::make_unique<FrmConsist>(ctx);
        } else if (ventana.startsWith(u"columnas")) {
            // The column window, on a workbook (its sheet list shown) and on
            // a CSV file.
            elegirDeclaracion(ctx);
            const ImportacionVuelos importacion(ctx, QStringLiteral("03/2024"));
            auto columnas = std::make_unique<frmColumnasHoja>(ctx, importacion,
                qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/flights/hojas/")
                    + (ventana.endsWith(u"hoja") ? QStringLiteral("vuelos-desordenados.xlsx")
                                                 : QStringLiteral("comillas.csv")));
            QVERIFY(columnas->cargar());
            w = std::move(columnas);
        } else if (ventana.startsWith(u"formulario")) {
            w = formulario(base, ventana.section(u' ', 1));
        } else {
            QCOMPARE(sinNombreAlAbrir(base, ventana.section(u' ', 0, 0), ventana.section(u' ', 1))
                         .join(QStringLiteral(", ")),
                     QString());
            return;
        }
        QCOMPARE(sinNombre(w.get()).join(QStringLiteral(", ")), QString());
    }

    // The boxes say their number and what they hold.
    void casillasYGrilla()
    {
        BaseDePrueba base;
        std::unique_ptr<QWidget> w = formulario(base, QStringLiteral("NEW"));
        auto *v = static_cast<frmFormulario *>(w.get());
        QCOMPARE(v->txtValor(QStringLiteral("397"))->accessibleName(),
                 QStringLiteral("Casilla 397 Tipo de Cambio Venta"));
        QCOMPARE(v->txtValor(QStringLiteral("397"))->accessibleDescription(),
                 QStringLiteral("txtValor(397)"));
        QCOMPARE(v->grdDetalle()->accessibleName(), QStringLiteral("Vuelos"));
        QCOMPARE(v->cmdAccion(2)->accessibleName(), QStringLiteral("Eliminar"));
        QCOMPARE(v->cmdAccion(2)->accessibleDescription(), QStringLiteral("cmdAccion(2)"));
        QCOMPARE(v->OptRectifica(1)->accessibleDescription(), QStringLiteral("OptRectifica(1)"));
    }
};

QTEST_MAIN(TstAccesibilidad)
#include "tst_accesibilidad.moc"
