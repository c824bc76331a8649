#pragma once

#include <QString>

namespace kv {

// What a message box shows and how it may be answered. Every message of the
// system goes through a ServicioMensajes, so windows and programs never build
// boxes of their own and tests can read what was shown and script the answer.
enum class Icono { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
enum class Botones { Aceptar, AceptarCancelar, SiNo, SiNoCancelar };
enum class Respuesta { Aceptar, Cancelar, Si, No };

struct Mensaje
{
    QString titulo;
    QString texto;
    Icono icono = Icono::Ninguno;
    Botones botones = Botones::Aceptar;
    Respuesta predeterminada = Respuesta::Aceptar;
};

class ServicioMensajes
{
public:
    virtual ~ServicioMensajes() = default;
    virtual Respuesta mostrar(const Mensaje &mensaje) = 0;

    Respuesta mostrar(const QString &titulo, const QString &texto, Icono icono = Icono::Ninguno,
                      Botones botones = Botones::Aceptar, Respuesta predeterminada = Respuesta::Aceptar)
    {
        return mostrar(Mensaje{titulo, texto, icono, botones, predeterminada});
    }
};

// For the programs without windows: each message goes to standard error as
// its title, a colon and its text; a question is answered with its default.
class MensajesConsola : public ServicioMensajes
{
public:
    using ServicioMensajes::mostrar;
    Respuesta mostrar(const Mensaje &mensaje) override;
};

} // namespace kv
