#pragma once

#include "arranque.h"
#include "store/instanciaunica.h"
#include "store/contexto.h"
#include "store/reloj.h"
#include "store/ui/llamadainstancia.h"
#include "store/ui/ventanas.h"
#include "store/utilidad.h"

#include <memory>
#include <optional>

namespace kv {

class ServicioMensajes;

// What one run of KV517 holds for its whole life: the run-time values and
// the database name (the context), the utility operations, the clock, the
// message service, the window opener and the single-instance lock, with
// the socket on which a later start asks this copy to come to the front.
//
// Messages go to message boxes. With KV517_MENSAJES=stderr in the
// environment they go to standard error instead, one line each as
// "title: text", and every question takes its default answer; scripts and
// the tests start the program that way to read what it said.
class ProgramaKv517
{
public:
    ProgramaKv517();
    ~ProgramaKv517();

    // Start-up up to the main window: the utility operations, the host's
    // window, the single copy and the help file name. False when the module
    // must end (the message has been shown); a second copy also asks the
    // running one to come to the front.
    bool iniciar();
    // The main window comes to the front when a later start asks.
    void atenderLlamadas(QWidget *ventana) { m_llamada.atender(ventana); }

    Contexto &contexto() { return m_ctx; }
    RegistroVentanas &ventanas() { return m_ventanas; }
    Arranque &arranque() { return m_arranque; }

private:
    Utilidad m_utilidad;
    RelojSistema m_reloj;
    std::unique_ptr<ServicioMensajes> m_mensajes;
    RegistroVentanas m_ventanas;
    Contexto m_ctx;
    Arranque m_arranque;
    InstanciaUnica m_instancia;
    LlamadaInstancia m_llamada;
};

} // namespace kv
