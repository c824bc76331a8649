#include "integrator/instalacion.h"
#include "integrator/lanzador.h"
#include "integrator/ui/ventanaprincipal.h"
#include "store/archivoini.h"
#include "store/contexto.h"
#include "store/reloj.h"
#include "store/ui/mensajesventana.h"
#include "store/utilidad.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qadelia"));
    // No display name: it would be appended to the window title, which must
    // stay exactly "Qadelia".

    kv::MensajesVentana mensajes;
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
    return codigo;
}
