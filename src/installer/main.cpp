#include "instalador.h"

#include "store/archivoini.h"
#include "store/idioma.h"
#include "store/mensajes.h"
#include "store/permisos.h"

#include <QCoreApplication>

// The form tables installer: run once by the host after its own
// installation, without arguments (any given are ignored). It speaks only on
// errors, on standard error, and ends with a status other than 0 whenever the
// installation did not wholly go in, so that the host shows what it said.
int main(int argc, char *argv[])
{
    // What the program creates in the system folder is private to the user
    // (or to the office's group, as KV000.INI says).
    kv::aplicarMascaraPermisos(kv::ArchivoIni(kv::ArchivoIni::rutaPredeterminada()));
    QCoreApplication app(argc, argv);
    kv::iniciarIdioma(app);
    kv::MensajesConsola mensajes;
    kv::Instalador instalador(mensajes, kv::ArchivoIni::rutaPredeterminada());
    switch (instalador.ejecutar()) {
    case kv::Instalador::Resultado::Completa:
        return 0;
    case kv::Instalador::Resultado::SinSistema:
        return 1;
    case kv::Instalador::Resultado::SinBaseDatos:
        return 2;
    case kv::Instalador::Resultado::Incompleta:
        return 3;
    }
    return 2;
}
