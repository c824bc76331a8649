// kvr517: writes the submission summary of a sent declaration, given by a
// 36-character command line, into the report register and a text listing.
#include "lineacomandos.h"
#include "reports/listadotexto.h"
#include "resumenenvio.h"
#include "store/accesodatos.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/idioma.h"
#include "store/instanciaunica.h"
#include "store/mensajes.h"
#include "store/permisos.h"
#include "store/reloj.h"
#include "store/utilidad.h"

#include <QCoreApplication>
#include <QFile>

using namespace kv;

int main(int argc, char **argv)
{
    // What the program creates in the system folder is private to the user
    // (or to the office's group, as KV000.INI says).
    kv::aplicarMascaraPermisos(kv::ArchivoIni(kv::ArchivoIni::rutaPredeterminada()));
    QCoreApplication app(argc, argv);
    iniciarIdioma(app);
    MensajesConsola mensajes;

    InstanciaUnica instancia(QStringLiteral("kvr517"));
    // A lock folder that cannot be written tells nothing about other copies.
    if (instancia.adquirir() == InstanciaUnica::Estado::Ocupada) {
        mensajes.mostrar(QStringLiteral("Presentación Telemática"),
                         QStringLiteral("La aplicación ya se encuentra en Ejecución"), Icono::Informacion);
        return 1;
    }

    QStringList faltantes;
    const QString argumento = app.arguments().value(1);
    const LineaComandos linea = LineaComandos::leer(argumento, &faltantes);
    // The listing is named after these fields: a line that would name a file
    // outside the reports folder, or another report's file, is refused
    // before anything is allocated or written.
    if (const QStringList noValidos = linea.camposNoValidos(); !noValidos.isEmpty()) {
        mensajes.mostrar(QStringLiteral("Presentación Telemática"),
                         QStringLiteral("La línea de comandos no es válida; solo se admiten letras, dígitos y "
                                        "blancos en: ")
                             + noValidos.join(QStringLiteral(", ")),
                         Icono::Critico);
        return 3;
    }
    if (!faltantes.isEmpty()) {
        mensajes.mostrar(QStringLiteral("Presentación Telemática"),
                         QStringLiteral("La línea de comandos tiene %1 de %2 caracteres; se toman en blanco: ")
                                 .arg(argumento.size())
                                 .arg(LineaComandos::kLargo)
                             + faltantes.join(QStringLiteral(", ")),
                         Icono::Exclamacion);
    }

    RelojSistema reloj;
    Utilidad utilidad;
    Contexto ctx;
    ctx.mensajes = &mensajes;
    ctx.reloj = &reloj;
    ctx.utilidad = &utilidad;
    ctx.leerConfiguracion(ArchivoIni(ArchivoIni::rutaPredeterminada()));
    ctx.entrarCarpetaSistema();

    const ErrorBD error = BaseDatos::abrir(ctx.ubicacion, ctx.conexion);
    if (error.hay()) {
        mensajes.mostrar(QStringLiteral("Error de Conección"),
                         error.numero == kErrorBaseBloqueada
                             ? numeroConBlanco(error.numero) + QStringLiteral("- Base esta bloqueda")
                             : error.texto + u'\n' + numeroConBlanco(error.numero));
        return 2;
    }

    AccesoDatos datos(ctx);
    ResumenEnvio resumen(ctx, datos);
    const QString listado = resumen.escribir(linea);

    ListadoTexto conversion(mensajes);
    if (conversion.convertir(ctx.sRutaReportes, listado, ListadoTexto::Modo::Archivo)) {
        const QString nombre = listado.section(u'.', 0, 0);
        const QString destino = ctx.sRutaSistema + QStringLiteral("TMP/") + nombre + QStringLiteral(".TXT");
        QFile::remove(destino);
        QFile::copy(ctx.sRutaReportes + u'/' + nombre + QStringLiteral(".txt"), destino);
    }
    BaseDatos::cerrar(ctx.conexion);
    return 0;
}
