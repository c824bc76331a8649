#pragma once

#include <QString>

namespace kv {

class Impresora;
class ServicioMensajes;

// The plain listing that goes with a submission summary: lines of text with
// tag lines that change the font ("<!font!>", "<!fontsize!>", "<!bold!>",
// "<!italic!>", "<!underline!>" and their closing tags) or start a new page
// ("<!np!>"). It is turned either into a text file, where a new page is a
// line holding the single character 0x0F, or into a print job.
class ListadoTexto
{
public:
    enum class Modo { Impresora, Archivo }; // "PRINTER" and "ARCHIVO"

    struct Estado
    {
        QString fuente = QStringLiteral("Courier New");
        int tamano = 8;
        bool negrita = false;
        bool cursiva = false;
        bool subrayado = false;
        bool nuevaPaginaPendiente = false;
    };

    explicit ListadoTexto(ServicioMensajes &mensajes) : m_mensajes(mensajes) {}

    // Converts carpeta/archivo. In Archivo mode the text goes to carpeta/ +
    // the name up to its first "." + ".txt"; in Impresora mode to the printer.
    // False only when the listing does not exist (after its message); a
    // printing failure shows its message and still counts as done.
    bool convertir(const QString &carpeta, const QString &archivo, Modo modo, Impresora *impresora = nullptr);

    // Applies one tag line to the state (only its first tag counts).
    static void aplicarEtiqueta(const QString &linea, Estado &estado);

    const Estado &estado() const { return m_estado; }

private:
    void mostrarErrorImpresion(int numero, const QString &descripcion);

    ServicioMensajes &m_mensajes;
    Estado m_estado;
};

} // namespace kv
