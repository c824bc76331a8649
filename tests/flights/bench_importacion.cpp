// How long the flight import takes as the carrier's file grows, through the
// same code the window runs, and how it compares with a line-at-a-time
// port that looks each flight up by its formatted date and writes each row
// in a statement of its own. One figure a line: "name: value unit".
//
//   bench_importacion
#include "flights/importacionvuelos.h"
#include "flights/reglasimportacion.h"
#include "store/accesodatos.h"
#include "store/numeros.h"
#include "support/basedeprueba.h"
#include "importacionprueba.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <cstdio>
#include <ctime>

using namespace kv;
using namespace kv::prueba;

namespace {

// `n` lines of November 2026, a different flight on each; every tenth line
// refused (a code with a hyphen) when asked.
QStringList lineasVuelos(int n, bool conRechazos)
{
    QStringList l;
    l.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString codigo
            = (conRechazos && i % 10 == 9 ? QStringLiteral("V-%1") : QStringLiteral("V%1")).arg(i);
        l << QStringLiteral("%1/11/2026|%2|12|0|3|0|1|0|0|0|%3|")
                 .arg(1 + i % 30, 2, 10, QLatin1Char('0'))
                 .arg(codigo)
                 .arg(100 + i % 200);
    }
    return l;
}

void vaciar(BaseDePrueba &base)
{
    base.ejecutar(QStringLiteral("DELETE FROM TMPF517DETVP"));
}

double segundosProceso()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct Tiempo
{
    double reloj = 0; // wall-clock seconds
    double cpu = 0; // seconds of processor time of this process
};

// The best of `veces` imports of the lines into an empty working copy.
Tiempo importar(BaseDePrueba &base, const QStringList &lineas, int veces)
{
    const QString ruta = escribirArchivoVuelos(base, lineas);
    Tiempo mejor { 1e9, 1e9 };
    for (int i = 0; i < veces; ++i) {
        vaciar(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QElapsedTimer reloj;
        reloj.start();
        const double cpu0 = segundosProceso();
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        const Tiempo t { reloj.nsecsElapsed() / 1e9, segundosProceso() - cpu0 };
        if (r.estado != ResultadoImportacion::Estado::Terminada
            || r.transferidos + r.rechazados != lineas.size())
            std::fprintf(stderr, "import did not end as expected\n");
        mejor.reloj = std::min(mejor.reloj, t.reloj);
        mejor.cpu = std::min(mejor.cpu, t.cpu);
    }
    return mejor;
}

// The old way, kept here only to measure against: for every line the same
// rules, then the flight looked up by its date formatted as dd/mm/yyyy (no
// key can serve that), the rate asked of the parameter table, and the row
// added or changed in a statement that commits on its own.
double segundosIngenua(BaseDePrueba &base, const QStringList &lineas)
{
    vaciar(base);
    Contexto &ctx = base.contexto();
    AccesoDatos datos(ctx);
    const ReglasImportacion reglas(*ctx.utilidad, QDate(2026, 12, 7), QStringLiteral("11/2026"));
    QElapsedTimer reloj;
    reloj.start();
    for (const QString &texto : lineas) {
        const LineaVuelo l = reglas.analizar(texto);
        if (!l.aceptada())
            continue;
        const QVariantList clave = { ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, l.campos[0], l.campos[1] };
        QSqlQuery existe = datos.consultar(
            QStringLiteral(
                "SELECT * FROM TMPF517DETVP WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? "
                "AND formulario=? AND substr(fec_arribo,9,2) || '/' || substr(fec_arribo,6,2) || '/' || "
                "substr(fec_arribo,1,4)=? AND cod_vuelo=?"),
            clave);
        const bool hay = existe.next();
        existe.finish();
        const QString tasa = datos.TasaVigente(l.fecha.toString(QStringLiteral("yyyyMMdd")));
        const QString monto = (Decimal::entero(l.cantidades[8].toLongLong()) * val(tasa)).texto();
        QVariantList valores;
        for (const QString &c : l.cantidades)
            valores << c;
        valores << monto;
        if (hay) {
            datos.EjecutarSQL(
                QStringLiteral("UPDATE TMPF517DETVP SET num_tripulantes=?, num_personal=?, "
                               "num_transito=?, num_arrfor=?, num_diplo=?, num_extrad=?, num_deport=?, "
                               "num_adqanterior=?, num_afectos=?, mto_dolar=? WHERE tip_doc_d=6 AND "
                               "doc_id_d=? AND periodo=? AND formulario=? AND fec_arribo=? AND "
                               "cod_vuelo=?"),
                valores
                    + QVariantList {
                        ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, l.fecha.toString(Qt::ISODate), l.codigo });
        } else {
            datos.EjecutarSQL(
                QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, "
                               "fec_arribo, cod_vuelo, num_tripulantes, num_personal, num_transito, "
                               "num_arrfor, num_diplo, num_extrad, num_deport, num_adqanterior, "
                               "num_afectos, mto_dolar) VALUES (6,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                QVariantList {
                    ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, l.fecha.toString(Qt::ISODate), l.codigo }
                    + valores);
        }
    }
    return reloj.nsecsElapsed() / 1e9;
}

void cifra(const char *nombre, double valor, const char *unidad)
{
    std::printf("%s: %.4f %s\n", nombre, valor, unidad);
    std::fflush(stdout);
}

void cifras(const char *nombre, const Tiempo &t)
{
    cifra(nombre, t.reloj, "s");
    cifra((QByteArray(nombre) + "_cpu").constData(), t.cpu, "s");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BaseDePrueba base;
    if (!base.valida())
        return 1;
    abrirDeclaracionVuelos(base);

    // Other programs may share the processors: the best of a few runs, and
    // the processor time beside the time on the clock.
    const QStringList diezMil = lineasVuelos(10000, false);
    const Tiempo t10 = importar(base, diezMil, 3);
    cifras("importacion_10000_lineas", t10);
    const Tiempo t100 = importar(base, lineasVuelos(100000, false), 2);
    cifras("importacion_100000_lineas", t100);
    cifra("importacion_100000_sobre_10000", t100.reloj / t10.reloj, "x");
    cifra("importacion_100000_sobre_10000_cpu", t100.cpu / t10.cpu, "x");
    cifras("importacion_10000_lineas_10pct_rechazos", importar(base, lineasVuelos(10000, true), 3));

    const QStringList primerasMil = diezMil.mid(0, 1000);
    const Tiempo t1 = importar(base, primerasMil, 3);
    const double ingenua = segundosIngenua(base, primerasMil);
    cifras("importacion_1000_lineas", t1);
    cifra("ingenua_1000_lineas", ingenua, "s");
    cifra("ingenua_sobre_importacion_1000", ingenua / t1.reloj, "x");
    return 0;
}
