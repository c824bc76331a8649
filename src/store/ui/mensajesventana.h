#pragma once

#include "store/mensajes.h"

#include <QPointer>
#include <QWidget>

namespace kv {

// Message boxes on screen: icon, buttons and default button as asked, the
// box modal over the active window.
class MensajesVentana : public ServicioMensajes
{
public:
    using ServicioMensajes::mostrar;
    Respuesta mostrar(const Mensaje &mensaje) override;
};

} // namespace kv
