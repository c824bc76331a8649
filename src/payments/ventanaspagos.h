#pragma once

namespace kv {

struct Contexto;
class RegistroVentanas;

// Registers the previous-payment windows with the window opener:
//   "ListaPagosPrevios"    the list, opened by the declaration from box 403
//                          with its mode, history flag and period text; on
//                          leaving it hands back the total through `devolver`;
//   "DetallePagosPrevios"  one payment, "NEW" or "MOD" (the list's row in
//                          `fila`), calling `alGrabar` after each new payment.
void registrarVentanasPagos(RegistroVentanas &registro, Contexto &contexto);

} // namespace kv
