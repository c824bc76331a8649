#include "arranque.h"

#include "store/contexto.h"
#include "store/esquema.h"
#include "store/instanciaunica.h"
#include "store/mensajes.h"

#include <cstdio>

namespace kv {

namespace {
constexpr int kSqliteNoSePuedeAbrir = 14; // SQLITE_CANTOPEN
}

Arranque::Arranque(Contexto &contexto, ArchivoIni ini) : m_ctx(contexto), m_ini(std::move(ini)) {}

bool Arranque::CorreIntegrador(const std::function<bool(const QString &)> &correApp)
{
    if (correApp && correApp(QString::fromLatin1(kTituloIntegrador)))
        return true;
    m_ctx.mensajes->mostrar(QStringLiteral("Error al ejecutar el módulo"),
                            QStringLiteral("Debe ejecutar este módulo desde el Integrador del QDL"), Icono::Critico);
    return false;
}

bool Arranque::VerificarInstancia(InstanciaUnica &instancia)
{
    switch (instancia.adquirir()) {
    case InstanciaUnica::Estado::Adquirida: return true;
    case InstanciaUnica::Estado::SinAcceso:
        // Without a place for the lock the check cannot be made; refusing to
        // start would lock the user out of the module for good.
        std::fprintf(stderr, "kv517: no se pudo crear %s\n", qPrintable(instancia.ruta()));
        return true;
    case InstanciaUnica::Estado::Ocupada: break;
    }
    // The title is the one the host's modules have always shown here.
    m_ctx.mensajes->mostrar(QStringLiteral("Declaración Pago Anual Impuesto a la Renta"),
                            QStringLiteral("La Aplicación ya se encuentra en ejecución"), Icono::Informacion);
    return false;
}

void Arranque::LeerConfiguracion()
{
    m_ctx.leerConfiguracion(m_ini);
    m_ctx.entrarCarpetaSistema();
}

QString Arranque::textoErrorConexion(const ErrorBD &error)
{
    if (error.numero == kErrorBaseBloqueada)
        return numeroConBlanco(error.numero) + QStringLiteral("- Base esta bloqueda");
    return error.texto + u'\n' + numeroConBlanco(error.numero);
}

bool Arranque::AbrirBaseDatos()
{
    // The host reads SystemDB back; the SQLite file needs no workgroup, so
    // no credentials are handed to the engine.
    m_ini.escribir(QStringLiteral("Options"), QStringLiteral("SystemDB"),
                   m_ctx.sRutaSistema + QString::fromLatin1(kArchivoGrupoTrabajo));
    // An empty name would give SQLite's private temporary database, and the
    // module would run on nothing: it fails as a file that cannot be opened.
    ErrorBD error = m_ctx.ubicacion.vacia()
        ? ErrorBD{kSqliteNoSePuedeAbrir, QStringLiteral("unable to open database file")}
        : BaseDatos::abrir(m_ctx.ubicacion, m_ctx.conexion);
    // The declaration being edited lives in this program's own working
    // copy; another user's copy on the same database is never touched.
    if (!error.hay())
        error = crearCopiasDeTrabajoPrivadas(m_ctx.db());
    if (!error.hay())
        return true;
    m_ctx.mensajes->mostrar(QStringLiteral("Error de Conección"), textoErrorConexion(error), Icono::Critico);
    return false;
}

QString Arranque::rutaAyuda() const
{
    return m_ctx.sRutaSistema + m_ctx.sFormulario + u'/' + m_ctx.sArchivoAyuda;
}

} // namespace kv
