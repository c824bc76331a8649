#pragma once

#include "reports/impresora.h"

namespace kv {

struct Contexto;
class BarradeEstadoQDL;
class RegistroVentanas;

// Registers the report windows with the window opener:
//   "Validar"           FrmConsist, sFileError = the opener's text, the
//                       chosen finding's line handed back through devolver;
//   "ImprimirxPaginas"  frmImpxPag, nTotPaginas = its page count,
//                       sNombreRep = its text;
//   "ListaImprimirFormularios"  FrmImprimeForm, sAccion and bHistorico from
//                       the opener, the current row shown in `barra` (the
//                       main window's status bar, may be null).
// The printer comes from `fabrica` (the system's when empty).
void registrarVentanasReportes(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra,
                               FabricaImpresora fabrica = {});

} // namespace kv
