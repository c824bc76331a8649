#include "programakv517.h"

#include "cwindows.h"
#include "store/mensajes.h"
#include "store/ui/mensajesventana.h"

namespace kv {

namespace {

std::unique_ptr<ServicioMensajes> servicioMensajes()
{
    if (qgetenv("KV517_MENSAJES") == "stderr")
        return std::make_unique<MensajesConsola>();
    return std::make_unique<MensajesVentana>();
}

Contexto contextoInicial(ServicioMensajes *mensajes, const Reloj *reloj, const Utilidad *utilidad,
                         RegistroVentanas *ventanas)
{
    Contexto ctx;
    ctx.mensajes = mensajes;
    ctx.reloj = reloj;
    ctx.utilidad = utilidad;
    ctx.ventanas = ventanas;
    return ctx;
}

} // namespace

ProgramaKv517::ProgramaKv517()
    : m_mensajes(servicioMensajes()),
      m_ctx(contextoInicial(m_mensajes.get(), &m_reloj, &m_utilidad, &m_ventanas)),
      m_arranque(m_ctx)
{
}

ProgramaKv517::~ProgramaKv517() { BaseDatos::cerrar(m_ctx.conexion); }

bool ProgramaKv517::iniciar()
{
    {
        // The window list is only needed for this one check.
        const cWindows ventanasX;
        if (!m_arranque.CorreIntegrador([&](const QString &titulo) { return ventanasX.CorreApp(titulo); }))
            return false;
    }
    if (!m_arranque.VerificarInstancia(m_instancia)) {
        // Said so; now the user is shown the copy that runs.
        LlamadaInstancia::llamar();
        return false;
    }
    // Only the holder of the lock answers; without a lock nothing is known
    // of other copies.
    if (m_instancia.adquirida())
        m_llamada.escuchar();
    m_ctx.sArchivoAyuda = QString::fromLatin1(Arranque::kArchivoAyuda);
    return true;
}

} // namespace kv
