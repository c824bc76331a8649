// Pictures of the declaration window for looking at its layout: the three
// tabs of a saved declaration of 40 flights, a new one and a sent one.
//   captura_formulario OUTDIR      (tools/screenshot-formulario.sh runs it under Xvfb)
#include "declaracionprueba.h"
#include "declaration/frmformulario.h"
#include "store/ui/barraestadoqdl.h"
#include "support/captura.h"

#include <QApplication>
#include <QDir>
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
        }
        ventana.hide();
    }
    return ok ? 0 : 1;
}
