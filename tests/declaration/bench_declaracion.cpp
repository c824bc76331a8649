// How the declaration window keeps up with a saved declaration of 10,000
// flights (offscreen platform):
//   abrir_mod_10000_vuelos, abrir_new   the time to open it until it is on
//       screen ("MOD": working copy, boxes, grid) and a new one; median of
//       five openings each;
//   totaliza_vuelos_10000               boxes 390 to 396 from the working copy;
//   aceptar_vuelo_10000                 one more flight accepted in the flight
//       window: its checks, its row, the declaration's totals and grid;
// the last two the median of 25 runs, as wall time and as processor time
// (what the wall time comes down to on a machine no other work shares).
//   grabar_10000_vuelos_50_pagos        that declaration saved with 50 previous
//       payments over its stored copy (one transaction: header, boxes,
//       flights and payments with their check codes), median of five saves,
//       wall clock and the process's processor time.
//   advertencias_10000_vuelos_6_meses   the warnings of that working copy
//       against six earlier periods of 10,000 flights each (reading and
//       comparing), median of five runs;
//   resumen_mes_abrir                   the month's picture opened until it
//       is on screen, median of five openings.
//   bench_declaracion
#include "declaracionprueba.h"
#include "declaration/advertencias.h"
#include "declaration/casillas.h"
#include "declaration/frmformulario.h"
#include "declaration/grillavuelos.h"
#include "flights/frmdetallevuelo.h"
#include "declaration/grabacion.h"
#include "declaration/frmresumenmes.h"
#include "store/ui/barraestadoqdl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kv;
using namespace kv::prueba;

namespace {

constexpr int kVeces = 25;

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

double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The medians of the runs' wall and processor times, in ms.
struct Medida
{
    QList<double> pared;
    QList<double> cpu;

    template<class F> void medir(F &&paso)
    {
        QElapsedTimer reloj;
        const double antes = cpuMs();
        reloj.start();
        paso();
        pared << double(reloj.nsecsElapsed()) / 1e6;
        cpu << cpuMs() - antes;
    }

    static double mediana(QList<double> tiempos)
    {
        std::sort(tiempos.begin(), tiempos.end());
        return tiempos.isEmpty() ? -1 : tiempos.at(tiempos.size() / 2);
    }

    void imprimir(const char *nombre) const
    {
        std::printf("%s: %.2f ms\n%s_cpu: %.2f ms\n", nombre, mediana(pared), nombre, mediana(cpu));
    }
};

// The flight window opened from "&Nuevo" of a saved declaration: each run
// types a flight (not timed), lets the grid read the rest of the list as
// it does while the user types, then presses "&Aceptar" and waits for the
// grid to be drawn again.
Medida aceptarVuelos(BaseDePrueba &base, BarradeEstadoQDL &barra, bool &todos)
{
    Contexto &ctx = base.contexto();
    elegirDeclaracion(ctx);
    RegistroVentanas registro;
    registrarVentanaDetalle(registro, ctx);
    ctx.ventanas = &registro;
    ParametrosVentana p;
    p.nombre = QStringLiteral("Formulario");
    p.accion = Declaracion::kModificar;
    frmFormulario ventana(ctx, p, &barra);
    ventana.cargar();
    ventana.show();
    ventana.SSTab1()->setCurrentIndex(frmFormulario::kVuelos);
    Medida m;
    const int antes = base.contar(QStringLiteral("TMPF517DETVP"));
    QTimer::singleShot(0, [&] {
        auto *detalle = qobject_cast<FrmDetalleVuelo *>(QApplication::activeModalWidget());
        if (!detalle)
            return;
        for (int i = 0; i < kVeces; ++i) {
            detalle->mkeFecArribo()->setText(QStringLiteral("15/03/2024"));
            detalle->txtCodVuelo()->setText(QStringLiteral("N%1").arg(i));
            for (int c = 0; c < DatosVuelo::kCantidades; ++c)
                detalle->txtDatosDet(c)->setText(c == DatosVuelo::kAfectos ? QStringLiteral("120")
                                                                           : QStringLiteral("1"));
            while (ventana.modeloVuelos()->canFetchMore())
                QCoreApplication::processEvents();
            m.medir([&] {
                detalle->cmdAceptar()->click();
                ventana.grdDetalle()->viewport()->repaint();
            });
        }
        detalle->cmdSalir()->click();
    });
    ventana.cmdAccion(0)->click();
    todos = base.contar(QStringLiteral("TMPF517DETVP")) == antes + kVeces
        && ventana.casillas().texto(395) == QString::number(antes + kVeces).insert(2, u',');
    ventana.hide();
    ctx.ventanas = nullptr;
    return m;
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

// Six earlier periods of 10,000 flights each, saved, with their boxes; the
// working copy the save left (10,000 flights, one of them typed at ten
// times its usual figure). Returns the number of warnings.
int advertenciasYResumen(BaseDePrueba &base)
{
    Contexto &ctx = base.contexto();
    elegirDeclaracion(ctx);
    for (int meses = 1; meses <= Advertencias::kPeriodosAnteriores; ++meses) {
        const QString periodo = Advertencias::desplazarPeriodo(kPeriodo, -meses);
        guardarVuelos(base, QStringLiteral("F517DETVP"), 10000, {}, kRuc, periodo);
        guardarCasilla(base, QStringLiteral("393"), QStringLiteral("1740000"), {}, kRuc, periodo);
        guardarCasilla(base, QStringLiteral("395"), QStringLiteral("10000"), {}, kRuc, periodo);
        guardarCasilla(base, QStringLiteral("397"), QStringLiteral("3.450"), {}, kRuc, periodo);
    }
    base.ejecutar(QStringLiteral("UPDATE TMPF517DETVP SET num_afectos='1050' WHERE cod_vuelo='LA01005'"));
    Medida m;
    qsizetype cuantas = -1;
    for (int i = 0; i < 5; ++i) {
        m.medir([&] {
            Advertencias advertencias(base.datos());
            advertencias.leer();
            cuantas = advertencias.revisar(QStringLiteral("1,750,950"), QStringLiteral("3.450")).size();
        });
    }
    m.imprimir("advertencias_10000_vuelos_6_meses");

    Medida resumen;
    for (int i = 0; i < 5; ++i) {
        resumen.medir([&] {
            FrmResumenMes ventana(ctx);
            ventana.cargar();
            ventana.show();
            if (QTest::qWaitForWindowExposed(&ventana))
                QCoreApplication::processEvents();
            ventana.hide();
        });
    }
    resumen.imprimir("resumen_mes_abrir");
    return int(cuantas);
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

    // The working copy the last opening of a saved declaration left.
    abrir(base, barra, QStringLiteral("MOD"));
    elegirDeclaracion(base.contexto());
    Casillas casillas(base.datos());
    casillas.cambiar(397, QStringLiteral("3.456"));
    Medida totaliza;
    for (int i = 0; i < kVeces; ++i)
        totaliza.medir([&] { casillas.TotalizaVuelos(); });
    totaliza.imprimir("totaliza_vuelos_10000");
    if (casillas.texto(395) != u"10,000")
        std::fprintf(stderr, "unexpected box 395: %s\n", qPrintable(casillas.texto(395)));

    bool todos = false;
    aceptarVuelos(base, barra, todos).imprimir("aceptar_vuelo_10000");
    if (!todos)
        std::fprintf(stderr, "a flight was not accepted\n");

    const Tiempo t = grabar(base);
    std::printf("grabar_10000_vuelos_50_pagos: %lld ms\n", t.pared);
    std::printf("grabar_10000_vuelos_50_pagos_cpu: %lld ms\n", t.cpu);

    const int advertidos = advertenciasYResumen(base);
    if (advertidos != 1)
        std::fprintf(stderr, "unexpected warnings: %d\n", advertidos);
    return todos && t.pared >= 0 && advertidos == 1 ? 0 : 1;
}
