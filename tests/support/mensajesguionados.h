#pragma once

#include "store/mensajes.h"

#include <QList>
#include <functional>

namespace kv::prueba {

// Records every message shown and answers from a script; with the script
// empty a message is answered with its default button.
class MensajesGuionados : public ServicioMensajes
{
public:
    using ServicioMensajes::mostrar;
    Respuesta mostrar(const Mensaje &mensaje) override;

    void responder(Respuesta r) { m_guion.append(r); }
    // Runs when a message is shown, before it is answered (lets a test look
    // at the windows at that moment).
    void alMostrar(std::function<void(const Mensaje &)> accion) { m_accion = std::move(accion); }

    const QList<Mensaje> &mostrados() const { return m_mostrados; }
    QStringList textos() const;
    Mensaje ultimo() const { return m_mostrados.isEmpty() ? Mensaje{} : m_mostrados.last(); }
    void limpiar() { m_mostrados.clear(); m_guion.clear(); }

private:
    QList<Mensaje> m_mostrados;
    QList<Respuesta> m_guion;
    std::function<void(const Mensaje &)> m_accion;
};

} // namespace kv::prueba
