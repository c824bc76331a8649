// How the boxes keep up with a large working copy: the time to total
// 10,000 flights into boxes 390 to 396, and the time to accept one more
// flight (its checks, its row and the new totals; the grid's refresh is the
// declaration window's). Each figure is the median of 25 runs, in ms, as
// wall time and as processor time.
#include "declaration/casillas.h"
#include "flights/detallevuelo.h"
#include "store/transaccion.h"
#include "support/basedeprueba.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kv;

namespace {

constexpr int kVuelos = 10000;
constexpr int kVeces = 25;

double mediana(QList<double> tiempos)
{
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos.at(tiempos.size() / 2);
}

double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The median wall time of the runs, and their median processor time (what
// the wall time comes down to on a machine that other work is not sharing).
struct Medida
{
    double pared = 0;
    double cpu = 0;
};

template<class F> Medida medir(F &&paso)
{
    QList<double> pared;
    QList<double> cpu;
    for (int i = 0; i < kVeces; ++i) {
        QElapsedTimer reloj;
        const double antes = cpuMs();
        reloj.start();
        paso(i);
        pared << double(reloj.nsecsElapsed()) / 1e6;
        cpu << cpuMs() - antes;
    }
    return { mediana(pared), mediana(cpu) };
}

void imprimir(const char *nombre, const Medida &m)
{
    std::printf("%s: %.2f ms\n%s_cpu: %.2f ms\n", nombre, m.pared, nombre, m.cpu);
}

// Flights of March 2026, a few a day, each with its own code.
bool llenar(prueba::BaseDePrueba &base)
{
    Transaccion transaccion(base.db());
    QSqlQuery q(base.db());
    q.prepare(
        QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                       "cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, "
                       "num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar) "
                       "VALUES (6,?,?,'0517',?,?,'12','2','5','0','1','0','0','3','150','2250')"));
    for (int i = 0; i < kVuelos; ++i) {
        q.addBindValue(base.contexto().sRuc);
        q.addBindValue(base.contexto().sPeriodo);
        q.addBindValue(QDate(2026, 3, 1 + i % 31).toString(Qt::ISODate));
        q.addBindValue(QStringLiteral("V%1").arg(i, 5, 10, QLatin1Char('0')));
        if (!q.exec())
            return false;
    }
    return transaccion.confirmar();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    prueba::BaseDePrueba base;
    base.contexto().sRuc = QStringLiteral("20100000001");
    base.contexto().sPeriodo = QStringLiteral("202603");
    if (!base.valida() || !llenar(base)) {
        std::fprintf(stderr, "could not fill the working copy\n");
        return 1;
    }

    Casillas casillas(base.datos());
    casillas.cambiar(397, QStringLiteral("3.456"));
    const Medida totaliza = medir([&](int) { casillas.TotalizaVuelos(); });
    if (casillas.texto(395) != u"10,000")
        std::fprintf(stderr, "unexpected box 395: %s\n", qPrintable(casillas.texto(395)));
    imprimir("totaliza_vuelos_10000", totaliza);

    DetalleVuelo detalle(base.datos());
    bool todos = true;
    const Medida acepta = medir([&](int i) {
        DatosVuelo vuelo;
        vuelo.fecha = QStringLiteral("15/03/2026");
        vuelo.codigo = QStringLiteral("N%1").arg(i);
        vuelo.cantidades.fill(QStringLiteral("1"));
        vuelo.cantidades[DatosVuelo::kAfectos] = QStringLiteral("120");
        vuelo.impuesto = detalle.calcularImpuesto(vuelo.fecha, vuelo.cantidades[DatosVuelo::kAfectos]);
        todos = todos && !detalle.ValidaDatos(vuelo, DetalleVuelo::Modo::Nuevo, QStringLiteral("03/2026"))
            && detalle.GrabaDatos(vuelo);
        casillas.TotalizaVuelos();
    });
    if (!todos)
        std::fprintf(stderr, "a flight was not accepted\n");
    imprimir("aceptar_vuelo_sin_grilla_10000", acepta);
    return todos ? 0 : 1;
}
