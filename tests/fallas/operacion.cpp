// One of kv517's operations on a declaration, run as a program of its own so
// that tst_fallas can kill it half way or starve it of disk:
//   kv_operacion <KV000.INI> grabar <vuelos> <marca>
//       opens the declaration of 20456789120 for March 2024 as the
//       declaration window does (the stored one, or a new one), replaces its
//       flights with <vuelos> flights whose passengers subject to the tax are
//       <marca>, and saves it;
//   kv_operacion <KV000.INI> importar <archivo> <marca>
//       opens it the same way, imports the carrier's file into the working
//       copy and saves it;
//   kv_operacion <KV000.INI> validar | reporte | copia | abrir
//       checks the stored declaration into the messages file, writes its
//       print-out into the reports register, backs the database up, or only
//       opens the declaration.
// "empieza" goes to standard output when the operation itself starts; the
// user's messages go to standard error. Exit 0 when it went through.
#include "declaration/grabacion.h"
#include "flights/importacionvuelos.h"
#include "integrator/copiasseguridad.h"
#include "reports/reporteformulario.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/esquema.h"
#include "store/mensajes.h"
#include "store/reloj.h"
#include "store/transaccion.h"
#include "store/utilidad.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>

using namespace kv;

namespace {

const QString kRuc = QStringLiteral("20456789120");
const QString kPeriodo = QStringLiteral("202403");

void empieza()
{
    std::fputs("empieza\n", stdout);
    std::fflush(stdout);
}

int fallo(const QString &texto)
{
    std::fprintf(stderr, "%s\n", texto.toLocal8Bit().constData());
    return 1;
}

// The declaration as the window leaves it when the user saves: 71,700 in
// tax at 3.450, paid in cash.
DatosDeclaracion datosDeclaracion()
{
    DatosDeclaracion d;
    d.identificacion = {kRuc + QStringLiteral("  AEROLINEAS DEL SUR S.A.C."), kRuc, QStringLiteral("4451234"),
                        QStringLiteral("03/2024")};
    for (const QString &c : Declaracion::casillas())
        d.casillas.insert(c, QString());
    d.casillas[QStringLiteral("396")] = QStringLiteral("71,700");
    d.casillas[QStringLiteral("397")] = QStringLiteral("3.450");
    d.casillas[QStringLiteral("410")] = QStringLiteral("247,365");
    d.pago = {QStringLiteral("E"), QStringLiteral("XX"), QString(), QStringLiteral("247,365")};
    return d;
}

bool llenarVuelos(Contexto &ctx, int vuelos, const QString &marca)
{
    AccesoDatos datos(ctx);
    Transaccion t(ctx.db());
    if (!datos.EjecutarSQL(QStringLiteral("DELETE FROM TMPF517DETVP")))
        return false;
    for (int i = 0; i < vuelos; ++i) {
        if (!datos.EjecutarSQL(
                QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                               "cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, "
                               "num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar) "
                               "VALUES (6,?,?,'0517',?,?,'9','1','2','3','4','5','6','7',?,'150')"),
                {kRuc, kPeriodo, QDate(2024, 3, 1 + i % 31).toString(Qt::ISODate),
                 QStringLiteral("V%1").arg(i, 5, 10, QLatin1Char('0')), marca}))
            return false;
    }
    return t.confirmar();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString operacion = args.at(2);
    MensajesConsola mensajes;
    RelojSistema reloj;
    Utilidad utilidad;
    Contexto ctx;
    ctx.mensajes = &mensajes;
    ctx.reloj = &reloj;
    ctx.utilidad = &utilidad;
    ctx.leerConfiguracion(ArchivoIni(args.at(1)));
    if (operacion == u"copia") {
        empieza();
        QString error;
        if (CopiasSeguridad(ctx.ubicacion.ruta, ctx.sRutaSistema).copiar(reloj.ahora(), &error).isEmpty())
            return fallo(QStringLiteral("No se pudo hacer la copia de seguridad de la base de datos:\n") + error);
        return 0;
    }
    if (const ErrorBD e = BaseDatos::abrir(ctx.ubicacion, ctx.conexion); e.hay())
        return fallo(QStringLiteral("Error de Conección: %1 %2").arg(e.numero).arg(e.texto));
    if (const ErrorBD e = crearCopiasDeTrabajoPrivadas(ctx.db()); e.hay())
        return fallo(e.texto);

    ctx.sRuc = kRuc;
    ctx.sPeriodo = kPeriodo;
    Declaracion decl(ctx);
    const bool guardada = decl.existeDeclaracion(kRuc, kPeriodo);
    decl.abrir(guardada ? Declaracion::kModificar : Declaracion::kNueva, false, {});
    if (!decl.BorroTemporal() || (guardada && !decl.CargaTemporal()))
        return fallo(QStringLiteral("No se pudo abrir la declaración."));
    DatosDeclaracion datos = datosDeclaracion();

    if (operacion == u"abrir")
        return 0;
    if (operacion == u"validar") {
        // One finding for the messages file: no amount to pay.
        datos.casillas[QStringLiteral("410")] = QString();
        empieza();
        return ValidaTodo(decl, ModoValidacion::Archivo, datos, QStringLiteral("Declaración Formulario 0517"))
                       .abrirReporte
            ? 0
            : 1;
    }
    if (operacion == u"reporte") {
        empieza();
        ReporteFormulario reporte(decl.datos());
        const ReporteFormulario::Resultado r
            = reporte.generar({kRuc, QStringLiteral("AEROLINEAS DEL SUR S.A.C."), kPeriodo, false, {}, {}, {}, true});
        return r.correcto() ? 0 : fallo(r.error);
    }
    if (args.size() != 5)
        return 2;
    if (operacion == u"grabar") {
        if (!llenarVuelos(ctx, args.at(3).toInt(), args.at(4)))
            return fallo(QStringLiteral("No se pudo preparar la copia de trabajo."));
        empieza();
    } else if (operacion == u"importar") {
        empieza();
        ImportacionVuelos importacion(ctx, QStringLiteral("03/2024"));
        const ResultadoImportacion r = importacion.ImportarVuelos(args.at(3));
        if (r.estado != ResultadoImportacion::Estado::Terminada)
            return fallo(QStringLiteral("No se importaron los vuelos: %1 %2").arg(r.error.numero).arg(r.error.texto));
    } else {
        return 2;
    }
    const ResultadoGrabacion r = Grabacion(decl).Grabar(datos, true);
    return r.grabada ? 0 : fallo(r.textoFallo());
}
