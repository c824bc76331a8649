#include "integrator/copiasseguridad.h"
#include "integrator/instalacion.h"
#include "integrator/lanzador.h"
#include "integrator/ui/ventanaprincipal.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/idioma.h"
#include "store/mensajes.h"
#include "store/permisos.h"
#include "store/reloj.h"
#include "store/ui/mensajesventana.h"
#include "store/utilidad.h"

#include "reports/motorreporte.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

namespace {

// qadelia --pdf FILE OUT.pdf: draws the report FILE of the reports folder
// into OUT.pdf, every page as the printer would, for scripts and for users
// who keep their reports. Needs no display.
int exportarReporte(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::iniciarIdioma(app);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "uso: qadelia --pdf ARCHIVO SALIDA.pdf\n");
        return 2;
    }
    const kv::ArchivoIni ini(kv::ArchivoIni::rutaPredeterminada());
    const QString sistema = ini.leer(QStringLiteral("Options"), QStringLiteral("SysPath"));
    if (sistema.isEmpty()) {
        std::fprintf(stderr, "qadelia: %s no indica la carpeta del sistema (SysPath)\n", ini.ruta().toUtf8().constData());
        return 2;
    }
    const QString archivo = sistema + QStringLiteral("RPT/") + args.at(2);
    // As the preview says it, title and text.
    if (!QFileInfo::exists(archivo)) {
        std::fprintf(stderr, "%s\n", QStringLiteral("Error al Imprimir: Archivo Físico del Reporte no Existe").toUtf8().constData());
        return 1;
    }
    QString error;
    if (!kv::exportarPdf(archivo, args.at(3), &error)) {
        std::fprintf(stderr, "qadelia: %s\n", error.toUtf8().constData());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    kv::aplicarMascaraPermisos(kv::ArchivoIni(kv::ArchivoIni::rutaPredeterminada()));
    if (argc > 1 && std::strcmp(argv[1], "--pdf") == 0)
        return exportarReporte(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qadelia"));
    kv::iniciarIdioma(app);
    // No display name: it would be appended to the window title, which must
    // stay exactly "Qadelia".

    // QADELIA_MENSAJES=stderr: messages on standard error instead of boxes,
    // each question taking its default answer, as kv517 offers for scripts.
    kv::MensajesVentana ventanas;
    kv::MensajesConsola consola;
    kv::ServicioMensajes &mensajes = qgetenv("QADELIA_MENSAJES") == "stderr"
        ? static_cast<kv::ServicioMensajes &>(consola)
        : static_cast<kv::ServicioMensajes &>(ventanas);
    kv::RelojSistema reloj;
    kv::Utilidad utilidad;
    kv::Lanzador lanzador(mensajes, QApplication::applicationDirPath());

    kv::Instalacion instalacion(
        kv::Instalacion::predeterminadas(QApplication::applicationDirPath()), mensajes, lanzador);
    if (!instalacion.preparar())
        return 1;

    kv::Contexto contexto;
    contexto.leerConfiguracion(kv::ArchivoIni(instalacion.rutaIni()));
    contexto.mensajes = &mensajes;
    contexto.reloj = &reloj;
    contexto.utilidad = &utilidad;

    kv::VentanaPrincipal ventana(contexto, lanzador);
    ventana.show();
    const int codigo = QApplication::exec();
    kv::BaseDatos::cerrar();
    // The embedded file is copied on every exit; a server's database is the
    // office's administrator's to back up.
    if (contexto.ubicacion.motor == kv::Motor::SQLite) {
        QString error;
        if (kv::CopiasSeguridad(contexto.ubicacion.ruta, contexto.sRutaSistema).copiar(reloj.ahora(), &error).isEmpty())
            mensajes.mostrar(kv::VentanaPrincipal::titulo(),
                             QStringLiteral("No se pudo hacer la copia de seguridad de la base de datos:\n") + error,
                             kv::Icono::Exclamacion);
    }
    return codigo;
}
