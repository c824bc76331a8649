#include "mensajesguionados.h"

namespace kv::prueba {

Respuesta MensajesGuionados::mostrar(const Mensaje &mensaje)
{
    m_mostrados.append(mensaje);
    if (m_accion)
        m_accion(mensaje);
    return m_guion.isEmpty() ? mensaje.predeterminada : m_guion.takeFirst();
}

QStringList MensajesGuionados::textos() const
{
    QStringList r;
    for (const Mensaje &m : m_mostrados)
        r << m.texto;
    return r;
}

} // namespace kv::prueba
