// One declaration from start to finish, as a user makes it with every window
// of the program registered as the program registers them: a new declaration
// from the main window, its taxpayer and period, three flights typed and one
// deleted, the rate, a compensation, a previous payment, the amount paid in
// cash, the checks, the save, and its print-out from the main window's print
// list. What is saved and what is printed are then read back.
#include "../declaration/declaracionprueba.h"
#include "app/arranque.h"
#include "app/guardiaconexion.h"
#include "app/mdifrm.h"
#include "app/ventanaskv517.h"
#include "declaration/frmformulario.h"
#include "flights/frmdetallevuelo.h"
#include "payments/frmdetallepagosprevios.h"
#include "payments/frmlistapagosprevios.h"
#include "reports/impresoragrabadora.h"
#include "reports/ui/frmimprimeform.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/formadepagoqdl.h"
#include "store/basedatos.h"
#include "support/ventanamodal.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kPeriodoNuevo = QStringLiteral("202611");
const QString kConsistente = QStringLiteral("Declaración grabada: no presenta inconsistencias.");
const QString kInconsistente = QStringLiteral("Declaración grabada con inconsistencias.");

// The host installation with one taxpayer, the main window loaded on it and
// every child window registered, the printer recording what it prints.
struct Escena
{
    BaseDePrueba base;
    BitacoraImpresora bitacora;
    RegistroVentanas registro;
    std::unique_ptr<MDIFrm> principal;

    Escena()
    {
        base.agregarContribuyente(kRuc, kRazon, QStringLiteral("PRUEBA"));
        base.ejecutar(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES ('0151',?), ('0152',?)"),
                      {kConsistente, kInconsistente});
        Contexto &ctx = base.contexto();
        ctx.ventanas = &registro;
        principal = std::make_unique<MDIFrm>(ctx);
        registrarVentanasKv517(registro, ctx, principal->barraEstado(), bitacora.fabrica());
    }

    bool cargar()
    {
        base.contexto().sArchivoAyuda = QStringLiteral("kv517.hlp");
        Arranque arranque(base.contexto());
        return principal->cargar(arranque);
    }

    // A command of the main window's "&Declaraciones" menu, by its caption.
    QAction *comando(const QString &texto) const
    {
        for (const QAction *menu : principal->menuBar()->actions()) {
            if (menu->text() != u"&Declaraciones" || !menu->menu())
                continue;
            for (QAction *a : menu->menu()->actions()) {
                if (a->text() == texto)
                    return a;
            }
        }
        return nullptr;
    }

    QStringList filas(const QString &sql, const QVariantList &valores = {}) const
    {
        return base.filas(sql, valores);
    }

    // The rows of the declaration in `tabla` whose stored check code (the
    // last column) is not the one their other columns give.
    QStringList codigosErrados(const QString &tabla, int numericos)
    {
        QSqlQuery q(base.db());
        q.prepare(QStringLiteral("SELECT * FROM %1 WHERE doc_id_d=? AND periodo=?").arg(tabla));
        q.addBindValue(kRuc);
        q.addBindValue(kPeriodoNuevo);
        QStringList errados;
        if (!q.exec())
            return {tabla + QStringLiteral(": ") + q.lastError().text()};
        while (q.next()) {
            const QSqlRecord fila = q.record();
            const QString guardado = fila.value(fila.count() - 1).toString();
            const QString calculado = base.datos().CodigoControl(tabla, fila, numericos);
            if (guardado != calculado)
                errados << tabla + u' ' + guardado + QStringLiteral(" != ") + calculado;
        }
        return errados;
    }
};

// The window the user works in is the active one, as the window manager
// leaves it once a window it opened has closed.
void activar(QWidget *ventana)
{
    ventana->activateWindow();
    // Waited for by the application's active window: isActiveWindow()
    // already says yes for a modal window whose opener is active.
    QVERIFY(QTest::qWaitFor([ventana] { return QApplication::activeWindow() == ventana; }));
}

// A press of the mouse on a button the user can see and reach.
void pulsar(QAbstractButton *boton)
{
    QVERIFY2(boton->isVisible() && boton->isEnabled(), qPrintable(boton->text()));
    QTest::mouseClick(boton, Qt::LeftButton);
}

void pestana(frmFormulario *v, int indice)
{
    QTabBar *barra = v->SSTab1()->tabBar();
    QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(indice).center());
    QCOMPARE(v->SSTab1()->currentIndex(), indice);
}

// Types into the field that has the focus, which must be `campo`, and
// moves on with Enter.
void teclear(QWidget *campo, const QString &texto)
{
    QCOMPARE(QApplication::focusWidget(), campo);
    if (auto *linea = qobject_cast<QLineEdit *>(campo); linea && !linea->inputMask().isEmpty())
        QTest::keyClick(campo, Qt::Key_Home);
    QTest::keyClicks(campo, texto);
    QTest::keyClick(campo, Qt::Key_Return);
}

// A click in a box, the figure typed, Enter.
void teclearCasilla(frmFormulario *v, int casilla, const QString &texto)
{
    QLineEdit *caja = v->txtValor(QString::number(casilla));
    QTest::mouseClick(caja, Qt::LeftButton);
    teclear(caja, texto);
}

QStringList cajas(const frmFormulario *v, const QList<int> &casillas)
{
    QStringList r;
    for (int c : casillas)
        r << v->txtValor(QString::number(c))->text();
    return r;
}

// What the windows showed along the way.
struct Visto
{
    QStringList trasTresVuelos, trasEliminar, tasa, deuda, pago;
    QString soles, totalPagos, accionTrasGrabar;
    bool cerrada = false;
};

// One flight typed field after field; the counts in the window's order:
// crew, staff, transit, extradited, forced arrival, deported, diplomats,
// bought before the tax, subject to the tax.
void teclearVuelo(FrmDetalleVuelo *d, const QString &fecha, const QString &codigo, const QStringList &cantidades)
{
    teclear(d->mkeFecArribo(), fecha);
    teclear(d->txtCodVuelo(), codigo);
    for (int i = 0; i < cantidades.size(); ++i)
        teclear(d->txtDatosDet(i), cantidades.at(i));
    pulsar(d->cmdAceptar());
}

// "&Nuevo" in the payments list: one payment of 1,000 US$ at 3.456, paid on
// the 15th with voucher 5841, operation 123.
void agregarPagoPrevio(FrmListaPagosPrevios *lista, Visto &visto)
{
    enLaVentanaModal<FrmDetallePagosPrevios>([&](FrmDetallePagosPrevios *d) {
        activar(d);
        QCOMPARE(QApplication::focusWidget(), d->cboCodFormulario());
        QTest::keyClicks(d->cboCodFormulario(), QStringLiteral("5841"));
        QCOMPARE(d->txtDesFormulario()->text(), QStringLiteral("BOLETA DE PAGO CON DOCUMENTOS VALORADOS"));
        QTest::keyClick(d->cboCodFormulario(), Qt::Key_Tab);
        teclear(d->txtOperacion(), QStringLiteral("123"));
        teclear(d->mkeFecPago(), QStringLiteral("15112026"));
        teclear(d->txtMtoDolares(), QStringLiteral("1000"));
        teclear(d->txtTipCambio(), QStringLiteral("3.456"));
        visto.soles = d->txtMontoSoles()->text();
        pulsar(d->cmdAceptar());
        visto.totalPagos = lista->txtTotPagosPrevios()->text();
        pulsar(d->cmdSalir());
    });
    pulsar(lista->cmdAccion(FrmListaPagosPrevios::kNuevo));
}

// The declaration, tab after tab, from the taxpayer to the save. Figures
// worked out by hand:
//   flights typed (crew, staff, transit, extradited, forced, deported,
//   diplomats, bought before, subject), rate 15.00 US$ a passenger:
//     05/11 LA2401  12 3 0 0 0 0 1 0 150   150 × 15 = 2,250
//     12/11 AV0087   8 2 5 0 0 0 0 0 120   120 × 15 = 1,800  (deleted)
//     20/11 IB6651  14 4 2 1 0 2 0 3 211   211 × 15 = 3,165
//   three flights: 395 = 3, 396 = 7,215; once AV0087 is deleted:
//   391 = 12+3+14+4 = 33; 392 = 1 + (2+1+2+3) = 9; 390 = 33+9 = 42;
//   393 = 150+211 = 361; 394 = 9+361 = 370; 395 = 2; 396 = 5,415;
//   401 = 5,415 × 3.456 = 18,714.24 → 18,714; 402 = 500;
//   403 = the payment, 1,000 × 3.456 = 3,456;
//   404 = 18,714 − 500 − 3,456 = 14,758 = 406 (no interest) = 410 paid in
//   cash, so validation has nothing to warn of.
void declarar(Escena &e, frmFormulario *v, Visto &visto)
{
    activar(v);
    QCOMPARE(v->declaracion().sAccion(), QStringLiteral("NEW"));
    // The taxpayer picked from the list, the telephone, the period.
    QCOMPARE(QApplication::focusWidget(), v->CmbRuc());
    QTest::keyClick(v->CmbRuc(), Qt::Key_Down);
    QCOMPARE(v->TxtRazon()->text(), kRazon);
    teclear(v->TxtTelefono(), QStringLiteral("4451234"));
    teclear(v->MkePeriodo(), QStringLiteral("112026"));
    QCOMPARE(e.base.contexto().sPeriodo, kPeriodoNuevo);
    QCOMPARE(e.principal->barraEstado()->numdoc(), kRuc);

    pestana(v, frmFormulario::kVuelos);
    enLaVentanaModal<FrmDetalleVuelo>([](FrmDetalleVuelo *d) {
        activar(d);
        teclearVuelo(d, QStringLiteral("05112026"), QStringLiteral("LA2401"),
                     {"12", "3", "0", "0", "0", "0", "1", "0", "150"});
        teclearVuelo(d, QStringLiteral("12112026"), QStringLiteral("AV0087"),
                     {"8", "2", "5", "0", "0", "0", "0", "0", "120"});
        teclearVuelo(d, QStringLiteral("20112026"), QStringLiteral("IB6651"),
                     {"14", "4", "2", "1", "0", "2", "0", "3", "211"});
        pulsar(d->cmdSalir());
    });
    pulsar(v->cmdAccion(0));
    activar(v);
    visto.trasTresVuelos = cajas(v, {395, 396});

    // Newest first: the flight of the 12th is the second row.
    QTableView *grilla = v->grdDetalle();
    const QModelIndex segunda = grilla->model()->index(1, Declaracion::kCodVuelo);
    QCOMPARE(segunda.data().toString(), QStringLiteral("AV0087"));
    QTest::mouseClick(grilla->viewport(), Qt::LeftButton, {}, grilla->visualRect(segunda).center());
    e.base.mensajes().responder(Respuesta::Si);
    pulsar(v->cmdAccion(2));
    visto.trasEliminar = cajas(v, {390, 391, 392, 393, 394, 395, 396});

    teclearCasilla(v, 397, QStringLiteral("3.456"));
    visto.tasa = cajas(v, {397, 401}) << v->txtImpSoles()->text();

    pestana(v, frmFormulario::kDeuda);
    teclearCasilla(v, 402, QStringLiteral("500"));
    // Enter took the focus to 403, where any key opens the payments.
    QCOMPARE(QApplication::focusWidget(), v->txtValor(QStringLiteral("403")));
    enLaVentanaModal<FrmListaPagosPrevios>([&visto](FrmListaPagosPrevios *lista) {
        activar(lista);
        agregarPagoPrevio(lista, visto);
        activar(lista);
        pulsar(lista->cmdAccion(FrmListaPagosPrevios::kSalir));
    });
    QTest::keyClick(v->txtValor(QStringLiteral("403")), Qt::Key_Space);
    activar(v);
    teclearCasilla(v, 410, QStringLiteral("14758"));
    visto.deuda = cajas(v, {401, 402, 403, 404, 405, 406, 410});
    pulsar(v->FormaDePagoQDL1()->opcionEfectivo());
    visto.pago = QStringList {v->FormaDePagoQDL1()->formapago(), v->FormaDePagoQDL1()->importe()};

    pulsar(v->cmdValidar());
    pulsar(v->CmdGrabar());
    visto.accionTrasGrabar = v->declaracion().sAccion();
    pulsar(v->CmdCancelar());
    visto.cerrada = !v->isVisible();
}

// The rows saved: the header paid in cash and consistent, one box row per
// figure (an empty box has none), the two flights left and the payment,
// each row with the check code of its columns.
void comprobarGrabada(Escena &e)
{
    const QVariantList clave {kRuc, kPeriodoNuevo};
    QCOMPARE(e.filas(QStringLiteral("SELECT estado, efectivo, cheque, bcolibrad, nrocheque, rectifica, "
                                    "tip_doc_d, formulario, fec_pro FROM CAB WHERE doc_id_d=? AND periodo=?"),
                     clave),
             QStringList({"0|14758| | | |0|6|0517|2026-12-07"}));
    QMap<QString, QString> det;
    for (const QString &fila :
         e.filas(QStringLiteral("SELECT casilla, i_valor FROM DET WHERE doc_id_d=? AND periodo=?"), clave))
        det.insert(fila.section(u'|', 0, 0), fila.section(u'|', 1));
    const QMap<QString, QString> detEsperado {
        {"390", "42"},      {"391", "33"},    {"392", "9"},     {"393", "361"},   {"394", "370"},
        {"395", "2"},       {"396", "5415"},  {"397", "3.456"}, {"401", "18714"}, {"402", "-500"},
        {"403", "-3456"},   {"404", "14758"}, {"406", "14758"}, {"410", "14758"}, {"871", "0"},
        {"005", "0"},       {"870", "14758"}, {"872", "E"},     {"002", kRuc},    {"007", kPeriodoNuevo},
        {"028", "4451234"}, {"721", "1.0"},   {"722", e.base.datos().SumaParametros().texto()}};
    QCOMPARE(det, detEsperado);
    QCOMPARE(e.filas(QStringLiteral("SELECT fec_arribo, cod_vuelo, num_tripulantes, num_personal, num_transito, "
                                    "num_extrad, num_arrfor, num_deport, num_diplo, num_adqanterior, "
                                    "num_afectos, mto_dolar FROM F517DETVP WHERE doc_id_d=? AND periodo=? "
                                    "ORDER BY cod_vuelo"),
                     clave),
             QStringList({"2026-11-20|IB6651|14|4|2|1|0|2|0|3|211|3165",
                          "2026-11-05|LA2401|12|3|0|0|0|0|1|0|150|2250"}));
    QCOMPARE(e.filas(QStringLiteral("SELECT cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, "
                                    "tip_cambio, mto_dolar FROM F517PAGPRE WHERE doc_id_d=? AND periodo=?"),
                     clave),
             QStringList({"5841|00000123|071301|2026-11-15|3456|3.456|1000"}));
    for (const auto &[tabla, numericos] : {std::pair {"CAB", 5}, {"DET", 6}, {"F517DETVP", 6}, {"F517PAGPRE", 9}})
        QCOMPARE(e.codigosErrados(QString::fromLatin1(tabla), numericos), QStringList());
}

// The report file's key lines: the taxpayer, the summary, the two flights
// by date with their totals, the debt (a deduction in parentheses takes 16
// places) and the cash payment; two pages.
void comprobarReporte(const QString &ruta)
{
    QFile archivo(ruta);
    QVERIFY2(archivo.open(QIODevice::ReadOnly), qPrintable(ruta));
    const QStringList lineas = QString::fromLatin1(archivo.readAll()).split(QStringLiteral("\r\n"));
    const QStringList esperadas {
        QStringLiteral("pPos|3500|1170|20456789120|True|8|0|"),
        QStringLiteral("pPos|3500|1450|AEROLINEAS DEL SUR S.A.C.|True|8|0|"),
        QStringLiteral("pPos|9000|1450|4451234|True|8|0|"),
        QStringLiteral("pPos|4300|850|Período 11-2026|False|7|0|"),
        QStringLiteral("pPos|7050|2880|             42|False|8|0|"),
        QStringLiteral("pPos|7050|4230|              2|False|8|0|"),
        QStringLiteral("pPos|7050|4500|          5,415|False|8|0|"),
        QStringLiteral("pPos|7050|4770|          3.456|False|8|0|"),
        QStringLiteral("pPos|7050|5040|         18,714|False|8|0|"),
        QStringLiteral("pPos|300|6660|05/11/2026 LA2401              12     3     0     0     1     0     0     0"
                       "   150    166         2250|False|9|0|"),
        QStringLiteral("pPos|300|6930|20/11/2026 IB6651              14     4     2     0     0     1     2     3"
                       "   211    237         3165|False|9|0|"),
        QStringLiteral("pPos|300|7470|Total de Vuelos en el Período : 2|False|9|0|"),
        QStringLiteral("pPos|5300|7470|Total Impuesto US Dólares ( $ ): 5,415|False|9|0|"),
        QStringLiteral("pPos|7050|2880|         18,714|False|8|1|"),
        QStringLiteral("pPos|7050|3150|           (500)|False|8|1|"),
        QStringLiteral("pPos|7050|3420|         (3,456)|False|8|1|"),
        QStringLiteral("pPos|7050|3690|         14,758|False|8|1|"),
        QStringLiteral("pPos|7050|4230|         14,758|False|8|1|"),
        QStringLiteral("pPos|7050|4500|         14,758|False|8|1|"),
        QStringLiteral("pPos|600|4770|EFECTIVO|False|8|1|"),
        QStringLiteral("pPos|7050|4770|         14,758|False|8|1|"),
        QStringLiteral("pPos|7050|5040|NO|False|8|1|"),
    };
    QStringList faltan;
    for (const QString &l : esperadas) {
        if (!lineas.contains(l))
            faltan << l;
    }
    QVERIFY2(faltan.isEmpty(), qPrintable(faltan.join(u'\n')));
    QCOMPARE(lineas.count(QStringLiteral("pNuevaHoja")), 1);
}

} // namespace

class TstDeclaracionCompleta : public QObject
{
    Q_OBJECT

private slots:
    void deNuevaAImpresa()
    {
        QElapsedTimer reloj;
        reloj.start();
        Escena e;
        QVERIFY(e.cargar());
        MensajesGuionados &m = e.base.mensajes();

        Visto visto;
        enLaVentanaModal<frmFormulario>([&](frmFormulario *v) { declarar(e, v, visto); });
        QAction *nueva = e.comando(QStringLiteral("&Nueva"));
        QVERIFY(nueva);
        nueva->trigger();
        QCOMPARE(visto.trasTresVuelos, QStringList({"3", "7,215"}));
        QCOMPARE(visto.trasEliminar, QStringList({"42", "33", "9", "361", "370", "2", "5,415"}));
        QCOMPARE(visto.tasa, QStringList({"3.456", "18,714", "18,714"}));
        QCOMPARE(visto.soles, QStringLiteral("3,456"));
        QCOMPARE(visto.totalPagos, QStringLiteral("3456"));
        QCOMPARE(visto.deuda, QStringList({"18,714", "(500)", "(3,456)", "14,758", "", "14,758", "14,758"}));
        QCOMPARE(visto.pago, QStringList({"E", "14,758"}));
        QCOMPARE(visto.accionTrasGrabar, QStringLiteral("MOD"));
        QVERIFY(visto.cerrada);
        // Nothing else was said on the way: no error, no warning, no
        // question on leaving a saved declaration.
        const QStringList dichos {QStringLiteral("¿Esta seguro de eliminar el vuelo?"),
                                  QStringLiteral("La información de la declaración no presenta inconsistencias."),
                                  kConsistente};
        QCOMPARE(m.textos(), dichos);
        comprobarGrabada(e);

        // The print-out, from the main window's print list.
        QStringList lista;
        enLaVentanaModal<FrmImprimeForm>([&](FrmImprimeForm *l) {
            activar(l);
            for (int f = 0; f < l->modelo()->rowCount(); ++f)
                lista << l->modelo()->index(f, FrmImprimeForm::kRuc).data().toString().trimmed();
            lista << e.principal->barraEstado()->numdoc();
            pulsar(l->CmdImprimir(1));
            pulsar(l->CmdImprimir(2));
        });
        QAction *imprimir = e.comando(QStringLiteral("&Imprimir"));
        QVERIFY(imprimir);
        imprimir->trigger();
        QCOMPARE(lista, QStringList({kRuc, kRuc})); // the one row, shown in the status bar
        QCOMPARE(e.bitacora.trabajos.size(), 1);
        QCOMPARE(e.bitacora.ultimo().paginas.size(), 2);
        QVERIFY(e.bitacora.ultimo().terminado);
        QCOMPARE(m.textos(), dichos);
        const QStringList spool = e.filas(
            QStringLiteral("SELECT Archivo FROM SPOOL WHERE CodRep='ZEN001' AND tip_doc_d=6 AND doc_id_d=?"), {kRuc});
        QCOMPARE(spool.size(), 1);
        comprobarReporte(e.base.contexto().sRutaReportes + u'/' + spool.first());
        qInfo("de nueva a impresa: %lld ms", qint64(reloj.elapsed()));
    }

    // The server goes away while a declaration is open (its session ends,
    // as a restart ends it, without stopping the server the other tests
    // share): the statement that meets it says the connection was lost; the
    // next click closes the declaration without asking to save it and
    // reconnects, or says the server is still out of reach and tries again
    // at the click after; what was stored before is as it was.
    void servidorPerdido()
    {
        Escena e;
        if (e.base.motor() != Motor::PostgreSQL)
            QSKIP("a server's connection");
        guardarVuelos(e.base, QStringLiteral("F517DETVP"), 40);
        const QString guardados = QStringLiteral("SELECT * FROM F517DETVP ORDER BY fec_arribo, cod_vuelo");
        const QStringList antes = e.filas(guardados);
        QCOMPARE(antes.size(), 40);
        QVERIFY(e.cargar());
        Contexto &ctx = e.base.contexto();
        GuardiaConexion guardia(ctx);
        qApp->installEventFilter(&guardia);
        MensajesGuionados &m = e.base.mensajes();
        const UbicacionBase ubicacion = ctx.ubicacion;

        ErrorBD alPerderla;
        QStringList dichos;
        bool abiertaTrasFallo = false;
        enLaVentanaModal<frmFormulario>([&](frmFormulario *v) {
            m.limpiar();
            QSqlQuery pid(ctx.db());
            QVERIFY(pid.exec(QStringLiteral("SELECT pg_backend_pid()")) && pid.next());
            QVERIFY(!BaseDatos::perdida(ctx.conexion));
            QVERIFY(BaseDatos::abrir(ubicacion, QStringLiteral("administrador")).numero == 0);
            {
                QSqlQuery fin(BaseDatos::base(QStringLiteral("administrador")));
                QVERIFY(fin.exec(QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid.value(0).toInt())));
            }
            BaseDatos::cerrar(QStringLiteral("administrador"));
            QSqlQuery q(ctx.db());
            QVERIFY(!q.exec(QStringLiteral("SELECT count(*) FROM TMPF517DETVP")));
            alPerderla = traducirError(q.lastError());
            QVERIFY(BaseDatos::perdida(ctx.conexion));
            // Every statement after it says the same, whatever the driver says.
            QVERIFY(!q.exec(QStringLiteral("SELECT 1")));
            QCOMPARE(traducirError(q.lastError()).numero, kErrorConexionPerdida);
            QVERIFY(m.textos().isEmpty());

            // The server still out of reach: said, and the click goes nowhere.
            ctx.ubicacion.nombrePg = QStringLiteral("kv_no_existe");
            QTest::mouseClick(v->SSTab1()->tabBar(), Qt::LeftButton);
            abiertaTrasFallo = v->isVisible();
            dichos << m.textos();
            ctx.ubicacion = ubicacion;
            QTest::mouseClick(e.principal.get(), Qt::LeftButton);
            dichos << m.textos().mid(dichos.size());
        });
        QAction *nueva = e.comando(QStringLiteral("&Nueva"));
        QVERIFY(nueva);
        nueva->trigger();
        qApp->removeEventFilter(&guardia);

        QCOMPARE(alPerderla.numero, kErrorConexionPerdida);
        QVERIFY2(alPerderla.texto.startsWith(u"Se perdió la conexión con el servidor de la base de datos ("),
                 qPrintable(alPerderla.texto));
        QVERIFY(!abiertaTrasFallo);
        QCOMPARE(dichos.size(), 2);
        QVERIFY2(dichos.at(0).startsWith(u"Se perdió la conexión con el servidor de la base de datos y no se pudo "
                                         "volver a conectar:\n"),
                 qPrintable(dichos.at(0)));
        QVERIFY(dichos.at(0).contains(u"\nLa declaración que estaba abierta se cerró: lo que no se había grabado"));
        QCOMPARE(dichos.at(1), QStringLiteral("Se perdió la conexión con el servidor de la base de datos y se volvió "
                                              "a conectar."));
        QVERIFY(!BaseDatos::perdida(ctx.conexion));
        QCOMPARE(e.filas(guardados), antes);
        QCOMPARE(e.filas(QStringLiteral("SELECT count(*) FROM TMPF517DETVP")), QStringList{"0"});
    }
};

QTEST_MAIN(TstDeclaracionCompleta)
#include "tst_declaracioncompleta.moc"
