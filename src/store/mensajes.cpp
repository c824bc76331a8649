#include "mensajes.h"

#include <cstdio>

namespace kv {

Respuesta MensajesConsola::mostrar(const Mensaje &mensaje)
{
    const QByteArray linea = (mensaje.titulo + QStringLiteral(": ") + mensaje.texto).toLocal8Bit();
    std::fprintf(stderr, "%s\n", linea.constData());
    std::fflush(stderr);
    return mensaje.predeterminada;
}

} // namespace kv
