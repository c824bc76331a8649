// One user at work, as a second program on the same database would be:
// kv_guardar_declaraciones <KV000.INI> <ruc> <times>
// opens the declaration of <ruc> for March 2024 in a working copy of its
// own, replaces its flights with a new set, and saves it, <times> times.
// Each time it checks that its working copy holds exactly what it saved the
// time before: another program emptying or filling it would show there.
// Exit 0 when every save went through whole.
#include "declaration/grabacion.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/esquema.h"
#include "store/mensajes.h"
#include "store/reloj.h"
#include "store/utilidad.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <cstdio>

using namespace kv;

namespace {

constexpr int kVuelos = 20;
const QString kPeriodo = QStringLiteral("202403");

int contar(Contexto &ctx, const QString &sql, const QVariantList &valores)
{
    QSqlQuery q = AccesoDatos(ctx).consultar(sql, valores);
    return q.next() ? q.value(0).toInt() : -1;
}

bool llenarVuelos(Contexto &ctx, int vez)
{
    AccesoDatos datos(ctx);
    if (!datos.EjecutarSQL(QStringLiteral("DELETE FROM TMPF517DETVP WHERE doc_id_d=?"), {ctx.sRuc}))
        return false;
    for (int i = 0; i < kVuelos; ++i) {
        // Every flight of one save carries the save's number: a declaration
        // stored with flights of two saves would show it.
        if (!datos.EjecutarSQL(
                QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                               "cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, "
                               "num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar) "
                               "VALUES (6,?,?,'0517',?,?,'5','0','0','0','0','0','0','0',?,?)"),
                {ctx.sRuc, kPeriodo, QStringLiteral("2024-03-%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                 QStringLiteral("V%1").arg(i), QString::number(vez), QString::number(vez * 15)}))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    MensajesConsola mensajes;
    RelojSistema reloj;
    Utilidad utilidad;
    Contexto ctx;
    ctx.mensajes = &mensajes;
    ctx.reloj = &reloj;
    ctx.utilidad = &utilidad;
    ctx.conexion = QStringLiteral("usuario");
    ctx.leerConfiguracion(ArchivoIni(args.at(1)));
    if (BaseDatos::abrir(ctx.ubicacion, ctx.conexion).hay() || crearCopiasDeTrabajoPrivadas(ctx.db()).hay())
        return 3;
    const QString ruc = args.at(2);
    const int veces = args.at(3).toInt();

    for (int vez = 1; vez <= veces; ++vez) {
        ctx.sRuc = ruc;
        ctx.sPeriodo = kPeriodo;
        Declaracion decl(ctx);
        decl.abrir(vez == 1 ? Declaracion::kNueva : Declaracion::kModificar, false, {});
        if (vez > 1 && (!decl.BorroTemporal() || !decl.CargaTemporal()))
            return 4;
        const QVariantList clave = {ruc, kPeriodo};
        const int antes = contar(ctx, QStringLiteral("SELECT count(*) FROM TMPF517DETVP WHERE doc_id_d=? AND "
                                                     "periodo=? AND num_afectos=?"),
                                 clave + QVariantList{QString::number(vez - 1)});
        if (vez > 1 && antes != kVuelos) {
            std::fprintf(stderr, "%s: save %d found %d of its flights in its working copy\n", qPrintable(ruc),
                         vez, antes);
            return 5;
        }
        if (!llenarVuelos(ctx, vez))
            return 6;
        DatosDeclaracion d;
        d.identificacion = {ruc + QStringLiteral("  EMPRESA"), ruc, QString(), QStringLiteral("03/2024")};
        for (const QString &c : Declaracion::casillas())
            d.casillas.insert(c, QString());
        d.casillas[QStringLiteral("395")] = QString::number(kVuelos);
        d.casillas[QStringLiteral("410")] = QString::number(vez);
        d.pago = {QStringLiteral("E"), QStringLiteral("XX"), QString(), QString::number(vez)};
        const ResultadoGrabacion r = Grabacion(decl).Grabar(d);
        if (!r.grabada) {
            std::fprintf(stderr, "%s: save %d: %s\n", qPrintable(ruc), vez, qPrintable(r.textoFallo()));
            return 7;
        }
    }
    return 0;
}
