#pragma once

#include "reports/impresora.h"

namespace kv {

struct Contexto;
class RegistroVentanas;

// Registers the report windows with the window opener:
//   "Validar"           FrmConsist, sFileError = the opener's text;
//   "ImprimirxPaginas"  frmImpxPag, nTotPaginas = its page count,
//                       sNombreRep = its text.
// The printer comes from `fabrica` (the system's when empty).
void registrarVentanasReportes(RegistroVentanas &registro, Contexto &contexto, FabricaImpresora fabrica = {});

} // namespace kv
