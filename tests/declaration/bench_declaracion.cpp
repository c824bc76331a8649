// Time to open the declaration window until it is on screen (offscreen
// platform): a saved declaration of 10,000 flights ("MOD": working copy,
// boxes, grid) and a new one. Median of five openings each. Then the time
// to save that declaration with 50 previous payments over its stored copy
// (one transaction: header, boxes, flights and payments with their check
// codes), median of five saves, wall clock and the process's CPU time.
//   bench_declaracion
#include "declaracionprueba.h"
#include "declaration/frmformulario.h"
#include "declaration/grabacion.h"
#include "store/ui/barraestadoqdl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>

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

struct Tiempo
{
    qint64 pared = -1;
    qint64 cpu = -1;
};

// Saves the declaration whose working copy holds the stored flights and
// 50 payments; the median of five saves, each replacing the last.
Tiempo grabar(BaseDePrueba &base)
{
    Contexto &ctx = base.contexto();
    elegirDeclaracion(ctx);
    Declaracion decl(ctx);
    decl.abrir(Declaracion::kModificar, false, {});
    if (!decl.BorroTemporal() || !decl.CargaTemporal())
        return {};
    for (int i = 2; i <= 50; ++i) {
        base.ejecutar(QStringLiteral("INSERT INTO TMPF517PAGPRE (tip_doc_d, doc_id_d, periodo, formulario, "
                                     "cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, tip_cambio, "
                                     "mto_dolar) VALUES (6,?,?,'0517','5842',?,'071301','2024-04-05','345',"
                                     "'3.450','100')"),
                      {kRuc, kPeriodo, QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'))});
    }
    DatosDeclaracion d;
    d.identificacion = {{}, kRuc, QStringLiteral("4451234"), QStringLiteral("03/2024")};
    const QStringList cifras = {"840", "480", "360", "4,780", "5,140", "10,000", "71,700", "3.450",
                                "247,365", "(500)", "(300)", "246,565", "0", "246,565", "246,565"};
    for (qsizetype i = 0; i < cifras.size(); ++i)
        d.casillas.insert(Declaracion::casillas().at(i), cifras.at(i));
    d.pago = {QStringLiteral("C"), QStringLiteral("05"), QStringLiteral("00012345"), QStringLiteral("246,565")};

    QList<qint64> paredes;
    QList<qint64> cpus;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer reloj;
        const std::clock_t inicio = std::clock();
        reloj.start();
        if (!Grabacion(decl).Grabar(d).grabada)
            return {};
        paredes << reloj.elapsed();
        cpus << qint64((std::clock() - inicio) * 1000 / CLOCKS_PER_SEC);
    }
    std::sort(paredes.begin(), paredes.end());
    std::sort(cpus.begin(), cpus.end());
    return {paredes.at(2), cpus.at(2)};
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
    const Tiempo t = grabar(base);
    std::printf("grabar_10000_vuelos_50_pagos: %lld ms\n", t.pared);
    std::printf("grabar_10000_vuelos_50_pagos_cpu: %lld ms\n", t.cpu);
    return 0;
}
