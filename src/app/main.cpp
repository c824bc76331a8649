// KV517, the declaration program of form 0517. The host program starts it
// without arguments; see ProgramaKv517 for KV517_MENSAJES.
#include "app/guardiaconexion.h"
#include "app/mdifrm.h"
#include "app/programakv517.h"
#include "app/ventanaskv517.h"
#include "store/archivoini.h"
#include "store/idioma.h"
#include "store/permisos.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // What the program creates in the system folder is private to the user
    // (or to the office's group, as KV000.INI says).
    kv::aplicarMascaraPermisos(kv::ArchivoIni(kv::ArchivoIni::rutaPredeterminada()));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv517"));
    kv::iniciarIdioma(app);

    kv::ProgramaKv517 programa;
    if (!programa.iniciar())
        return 1;

    kv::MDIFrm ventana(programa.contexto());
    QObject::connect(&ventana, &kv::MDIFrm::terminar, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);

    // Every child window the menus and the other windows open by name.
    kv::registrarVentanasKv517(programa.ventanas(), programa.contexto(), ventana.barraEstado());

    if (!ventana.cargar(programa.arranque()))
        return 1;
    programa.atenderLlamadas(&ventana);
    // A server that went away is met again at the user's next action.
    kv::GuardiaConexion guardia(programa.contexto());
    app.installEventFilter(&guardia);
    return app.exec();
}
