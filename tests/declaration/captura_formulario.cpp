// Pictures of the declaration window for looking at its layout: the three
// tabs of a saved declaration of 40 flights, a new one and a sent one, the
// flights tab given a large window, the debt tab with the longest amount
// typed in box 410; then the month's picture and the consistency report of
// a month with a warned flight.
//   captura_formulario OUTDIR      (tools/screenshot-formulario.sh runs it under Xvfb)
#include "declaracionprueba.h"
#include "declaration/frmformulario.h"
#include "declaration/frmresumenmes.h"
#include "reports/ui/frmconsist.h"
#include "store/ui/barraestadoqdl.h"
#include "support/captura.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace kv;
using namespace kv::prueba;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(carpeta);

    BaseDePrueba base;
    if (!base.valida())
        return 1;
    guardarDeclaracionCompleta(base, 40);
    base.ejecutar(
        QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, fec_pro, "
                       "rectifica, estado, norden, fec_env, control, cNumero) "
                       "VALUES (6,?,?,'0517','001','2024-04-10','0',1,'12345678','2024-04-12','C0001','0')"),
        {kRuc, kPeriodo});
    guardarVuelos(base, QStringLiteral("HF517DETVP"), 40, QStringLiteral("001"));
    base.ejecutar(
        QStringLiteral("INSERT INTO HDET SELECT doc_id_d, tip_doc_d, periodo, Formulario, '001', Casilla, "
                       "i_valor, idcasilla, estado, cNumero FROM DET"));
    for (const char *banco : {"03INTERBANK", "05BANCO DEL ORIENTE", "11BANCO CONTINENTAL"})
        base.ejecutar(
            QStringLiteral(
                "INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES ('004',?,?,'')"),
            {QString::fromLatin1(banco).left(2), QString::fromLatin1(banco).mid(2)});
    Contexto &ctx = base.contexto();
    BarradeEstadoQDL barra;
    bool ok = true;

    const struct
    {
        const char *accion;
        bool historico;
        const char *nombre;
    } casos[] = {
        {"MOD", false, "formulario-mod"}, {"NEW", false, "formulario-new"}, {"REG", true, "formulario-reg"}};
    for (const auto &caso : casos) {
        elegirDeclaracion(ctx);
        ParametrosVentana p;
        p.nombre = QStringLiteral("Formulario");
        p.accion = QString::fromLatin1(caso.accion);
        p.historico = caso.historico;
        if (caso.historico) {
            p.texto = QStringLiteral("001");
            p.numOrden = QStringLiteral("12345678");
            p.numControl = QStringLiteral("C0001");
        }
        frmFormulario ventana(ctx, p, &barra);
        ventana.cargar();
        ventana.show();
        const int pestanas = p.accion == u"NEW" ? 1 : 3;
        for (int i = 0; i < pestanas; ++i) {
            ventana.SSTab1()->setCurrentIndex(i);
            ok = guardar(&ventana,
                         carpeta + QStringLiteral("/%1-%2.png").arg(QString::fromLatin1(caso.nombre)).arg(i))
                && ok;
        }
        if (p.accion == u"MOD") {
            // The flight grid's right-hand columns.
            ventana.SSTab1()->setCurrentIndex(frmFormulario::kVuelos);
            QScrollBar *barra = ventana.grdDetalle()->horizontalScrollBar();
            barra->setValue(barra->maximum());
            ok = guardar(&ventana, carpeta + QStringLiteral("/formulario-mod-1-derecha.png")) && ok;

            // Given the room, the grid takes it.
            barra->setValue(0);
            const QSize normal = ventana.size();
            ventana.resize(1240, 780);
            ok = guardar(&ventana, carpeta + QStringLiteral("/formulario-mod-1-grande.png")) && ok;
            ventana.resize(normal);

            ventana.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
            ventana.activateWindow();
            if (!QTest::qWaitForWindowActive(&ventana))
                std::printf("the window did not become active: box 410 may show the amount as typed\n");
            QLineEdit *importe = ventana.txtValor(QStringLiteral("410"));
            importe->setFocus();
            importe->selectAll();
            QTest::keyClicks(importe, QStringLiteral("123456789012"));
            ventana.txtValor(QStringLiteral("405"))->setFocus();
            ok = guardar(&ventana, carpeta + QStringLiteral("/formulario-mod-2-410.png")) && ok;
        }
        ventana.hide();
    }

    // A month with a flight typed at ten times what its code carried the
    // three months before: the month's picture and the consistency report.
    for (const char *anterior : {"202312", "202401", "202402"}) {
        const QString periodo = QString::fromLatin1(anterior);
        guardarVuelos(base, QStringLiteral("F517DETVP"), 40, {}, kRuc, periodo);
        guardarCasilla(base, QStringLiteral("393"), QStringLiteral("4780"), {}, kRuc, periodo);
        guardarCasilla(base, QStringLiteral("397"), QStringLiteral("3.450"), {}, kRuc, periodo);
    }
    base.ejecutar(QStringLiteral("UPDATE F517DETVP SET num_afectos='1050', mto_dolar='15750' "
                                 "WHERE periodo='202403' AND cod_vuelo='LA01005'"));
    elegirDeclaracion(ctx);
    ParametrosVentana p;
    p.nombre = QStringLiteral("Formulario");
    p.accion = QStringLiteral("MOD");
    frmFormulario ventana(ctx, p, &barra);
    ventana.cargar();
    ventana.show();
    {
        FrmResumenMes resumen(ctx, &ventana);
        resumen.cargar();
        resumen.show();
        ok = guardar(&resumen, carpeta + QStringLiteral("/resumen-mes.png")) && ok;
    }
    const ResultadoValidacion r
        = ValidaTodo(ventana.declaracion(), ModoValidacion::Archivo, ventana.datosDeclaracion(), ventana.windowTitle());
    FrmConsist reporte(ctx);
    reporte.sFileError = r.archivo;
    for (const Advertencia &a : r.advertencias)
        reporte.advertencias << a.mensaje;
    reporte.cargar();
    reporte.show();
    ok = guardar(&reporte, carpeta + QStringLiteral("/inconsistencias-advertencias.png")) && ok;
    return ok ? 0 : 1;
}
