#pragma once

#include "reports/impresora.h"

namespace kv {

struct Contexto;
class BarradeEstadoQDL;
class RegistroVentanas;

// Makes every child window of KV517 known to the window opener, so the menus
// and the other windows open them by name: the declarations list, the
// declaration, the reports (consistency, page range, print list), the
// previous payments, the flight detail and the flight import. `barra` is the
// main window's status bar; the printer comes from `fabrica` (the system's
// when empty).
void registrarVentanasKv517(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra,
                            FabricaImpresora fabrica = {});

} // namespace kv
