// Allocates report file numbers in a loop, as a second program sharing the
// host's database would: kv_asignar_archivos <KV000.INI> <count>.
#include "store/accesodatos.h"
#include "store/archivoini.h"
#include "store/basedatos.h"
#include "store/contexto.h"
#include "store/mensajes.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    kv::Contexto ctx;
    kv::MensajesConsola mensajes;
    ctx.mensajes = &mensajes;
    ctx.sUsuario = QStringLiteral("PROCESO");
    ctx.leerConfiguracion(kv::ArchivoIni(args.at(1)));
    if (kv::BaseDatos::abrir(ctx.ubicacion, ctx.conexion).hay())
        return 3;
    kv::AccesoDatos datos(ctx);
    const int veces = args.at(2).toInt();
    for (int i = 0; i < veces; ++i) {
        kv::ErrorBD error;
        if (datos.AsignarArchivoReporte(QStringLiteral("ZEN001"), 6, QStringLiteral("1"), &error).isEmpty()) {
            std::fprintf(stderr, "%d: %s\n", error.numero, qPrintable(error.texto));
            return 1;
        }
    }
    return 0;
}
