// Time to open the declaration window until it is on screen (offscreen
// platform): a saved declaration of 10,000 flights ("MOD": working copy,
// boxes, grid) and a new one. Median of five openings each.
//   bench_declaracion
#include "declaracionprueba.h"
#include "declaration/frmformulario.h"
#include "store/ui/barraestadoqdl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace kv;
using namespace kv::prueba;

namespace {

qint64 abrir(BaseDePrueba &base, BarradeEstadoQDL &barra, const QString &accion)
{
    Contexto &ctx = base.contexto();
    elegirDeclaracion(ctx);
    ParametrosVentana p;
    p.nombre = QStringLiteral("Formulario");
    p.accion = accion;
    QElapsedTimer reloj;
    reloj.start();
    frmFormulario ventana(ctx, p, &barra);
    ventana.cargar();
    ventana.show();
    if (!QTest::qWaitForWindowExposed(&ventana))
        return -1;
    QCoreApplication::processEvents();
    const qint64 ms = reloj.elapsed();
    ventana.hide();
    return ms;
}

qint64 mediana(BaseDePrueba &base, BarradeEstadoQDL &barra, const QString &accion)
{
    QList<qint64> tiempos;
    for (int i = 0; i < 5; ++i)
        tiempos << abrir(base, barra, accion);
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos.at(2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BaseDePrueba base;
    if (!base.valida())
        return 1;
    guardarDeclaracionCompleta(base, 10000);
    BarradeEstadoQDL barra;
    std::printf("abrir_mod_10000_vuelos: %lld ms\n", mediana(base, barra, QStringLiteral("MOD")));
    std::printf("abrir_new: %lld ms\n", mediana(base, barra, QStringLiteral("NEW")));
    return 0;
}
