// The whole month of a carrier, windowless, through the classes the windows
// call: on a fresh database with the module installed, a valid import file
// of N flights is made (not timed), then
//   nueva       a new declaration opened, its taxpayer and period chosen;
//   importacion the file imported into the working copy;
//   totales     boxes 390 to 396 totalled, the rate and the debt typed;
//   grabar      the declaration saved (silent validation included);
//   impresion   its print-out written and registered;
// each printed as "cadena_<N>_<stage>: value s", then their sum as
// cadena_<N>_total and the process's peak memory as
// "cadena_<N>_memoria_pico: value MB"; each time also as the process's
// processor time ("..._cpu"). Every chain runs in a process of its
// own, so that its peak is its own. With the PostgreSQL test server up
// (KV_PG_PRUEBA, as tests/con-postgres.sh has it) the chains run there too
// and their lines end in "_psql".
//
//   bench_cadena                 10,000 and 100,000 flights, both engines
//   bench_cadena N [psql]        one chain
#include "declaracionprueba.h"
#include "declaration/casillas.h"
#include "declaration/grabacion.h"
#include "flights/importacionvuelos.h"
#include "reports/reporteformulario.h"
#include "store/esquema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kRucCadena = QStringLiteral("20100070970");
const QString kPeriodoCadena = QStringLiteral("202611"); // the test clock stands on 07/12/2026

// N flights of November 2026, one line each, all of them accepted.
QString escribirArchivo(const BaseDePrueba &base, int n)
{
    const QString carpeta = base.carpeta() + QStringLiteral("aerolinea");
    QDir().mkpath(carpeta);
    QFile f(carpeta + QStringLiteral("/0517") + kRucCadena + kPeriodoCadena + QStringLiteral(".TXT"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray bytes;
    bytes.reserve(qsizetype(n) * 48);
    for (int i = 0; i < n; ++i) {
        bytes += QStringLiteral("%1/11/2026|LA%2|%3|%4|%5|0|%6|0|0|%7|%8|\r\n")
                     .arg(1 + i % 30, 2, 10, QLatin1Char('0'))
                     .arg(i, 6, 10, QLatin1Char('0'))
                     .arg(8 + i % 7)
                     .arg(i % 3)
                     .arg(i % 11)
                     .arg(i % 2)
                     .arg(i % 5)
                     .arg(80 + i % 170)
                     .toLatin1();
    }
    f.write(bytes);
    return f.fileName();
}

class Etapas
{
public:
    explicit Etapas(QByteArray prefijo) : m_prefijo(std::move(prefijo)) {}

    template<typename Paso> bool medir(const char *etapa, Paso &&paso)
    {
        QElapsedTimer reloj;
        const double cpu0 = segundosProceso();
        reloj.start();
        const bool bien = paso();
        const double s = double(reloj.nsecsElapsed()) / 1e9;
        const double cpu = segundosProceso() - cpu0;
        m_total += s;
        m_totalCpu += cpu;
        std::printf("%s_%s: %.4f s\n", m_prefijo.constData(), etapa, s);
        std::printf("%s_%s_cpu: %.4f s\n", m_prefijo.constData(), etapa, cpu);
        std::fflush(stdout);
        if (!bien)
            std::fprintf(stderr, "%s: the stage %s failed\n", m_prefijo.constData(), etapa);
        return bien;
    }

    void cerrar() const
    {
        rusage uso {};
        getrusage(RUSAGE_SELF, &uso);
        std::printf("%s_total: %.4f s\n", m_prefijo.constData(), m_total);
        std::printf("%s_total_cpu: %.4f s\n", m_prefijo.constData(), m_totalCpu);
        std::printf("%s_memoria_pico: %.1f MB\n", m_prefijo.constData(), double(uso.ru_maxrss) / 1024.0);
        std::fflush(stdout);
    }

private:
    // The processor time of this process beside the time on the clock:
    // other programs may share the processors.
    static double segundosProceso()
    {
        timespec t;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    }

    QByteArray m_prefijo;
    double m_total = 0;
    double m_totalCpu = 0;
};

int cadena(int n, bool postgres)
{
    BaseDePrueba::Opciones opciones;
    opciones.motor = postgres ? Motor::PostgreSQL : Motor::SQLite;
    BaseDePrueba base(opciones);
    if (!base.valida())
        return 1;
    Contexto &ctx = base.contexto();
    base.agregarContribuyente(kRucCadena, QStringLiteral("AEROLINEAS DEL SUR S.A."), QStringLiteral("PRUEBA"));
    // The program's own working copy, as kv517 makes it when it starts.
    if (crearCopiasDeTrabajoPrivadas(ctx.db()).hay())
        return 1;
    const QString ruta = escribirArchivo(base, n);

    Etapas etapas(QByteArray("cadena_") + QByteArray::number(n) + (postgres ? "_psql" : ""));
    Declaracion decl(ctx);
    bool bien = etapas.medir("nueva", [&] {
        decl.abrir(Declaracion::kNueva, false, {});
        ctx.sPeriodo.clear();
        if (!decl.BorroTemporal())
            return false;
        // The taxpayer chosen in the list, then the period typed.
        const QString rucAnterior = ctx.sRuc;
        const QString periodoAnterior = ctx.sPeriodo;
        if (decl.existeDeclaracion(kRucCadena, kPeriodoCadena))
            return false;
        ctx.sRuc = kRucCadena;
        ctx.sRazonSocial = QStringLiteral("AEROLINEAS DEL SUR S.A.");
        ctx.sPeriodo = kPeriodoCadena;
        return decl.moverCopiaDeTrabajo(rucAnterior, periodoAnterior, ctx.sRuc, ctx.sPeriodo);
    });

    bien = bien && etapas.medir("importacion", [&] {
        ImportacionVuelos importacion(ctx, Declaracion::periodoMostrado(kPeriodoCadena));
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        return r.satisfactoria() && r.transferidos == n;
    });

    Casillas cajas(base.datos());
    bien = bien && etapas.medir("totales", [&] {
        ErrorBD error;
        cajas.TotalizaVuelos(&error);
        cajas.cambiar(397, QStringLiteral("3.450"));
        cajas.cambiar(405, QStringLiteral("0"));
        cajas.cambiar(410, cajas.texto(406));
        return !error.hay() && cajas.texto(395) == QLocale(QLocale::English).toString(n);
    });

    bien = bien && etapas.medir("grabar", [&] {
        DatosDeclaracion datos;
        datos.identificacion = {kRucCadena + QStringLiteral("  AEROLINEAS DEL SUR S.A."), {},
                                QStringLiteral("4451234"), Declaracion::periodoMostrado(kPeriodoCadena)};
        for (int casilla : Casillas::lista())
            datos.casillas.insert(QString::number(casilla), cajas.texto(casilla));
        datos.pago = {QStringLiteral("E"), QStringLiteral("XX"), QString(), cajas.texto(410)};
        const ResultadoGrabacion r = Grabacion(decl).Grabar(datos);
        if (!r.grabada)
            std::fprintf(stderr, "%s\n", qPrintable(r.textoFallo()));
        return r.grabada && r.consistente;
    });

    bien = bien && etapas.medir("impresion", [&] {
        DeclaracionImpresion d;
        d.ruc = kRucCadena;
        d.razonSocial = ctx.sRazonSocial;
        d.periodo = kPeriodoCadena;
        ReporteFormulario reporte(base.datos());
        const ReporteFormulario::Resultado r = reporte.generar(d);
        if (!r.correcto())
            std::fprintf(stderr, "%s\n", qPrintable(r.error));
        return r.correcto();
    });
    etapas.cerrar();
    return bien ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argumentos = app.arguments();
    if (argumentos.size() > 1)
        return cadena(argumentos.at(1).toInt(), argumentos.value(2) == u"psql");

    QList<QStringList> corridas = {{QStringLiteral("10000")}, {QStringLiteral("100000")}};
    if (!BaseDePrueba::servidorPostgres().isEmpty())
        corridas << QStringList {QStringLiteral("10000"), QStringLiteral("psql")}
                 << QStringList {QStringLiteral("100000"), QStringLiteral("psql")};
    int salida = 0;
    for (const QStringList &corrida : corridas) {
        QProcess hijo;
        hijo.setProcessChannelMode(QProcess::ForwardedChannels);
        hijo.start(app.applicationFilePath(), corrida);
        if (!hijo.waitForFinished(-1) || hijo.exitCode() != 0)
            salida = 1;
    }
    return salida;
}
