#include "ventanaskv517.h"

#include "declaration/frmformulario.h"
#include "declist/frmabrirform.h"
#include "flights/frmdetallevuelo.h"
#include "flights/frmimportavuelos.h"
#include "payments/ventanaspagos.h"
#include "reports/ui/ventanasreportes.h"

namespace kv {

void registrarVentanasKv517(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra,
                            FabricaImpresora fabrica)
{
    registrarVentanasListaFormularios(registro, contexto, barra);
    registrarVentanaFormulario(registro, contexto, barra);
    registrarVentanasReportes(registro, contexto, barra, std::move(fabrica));
    registrarVentanasPagos(registro, contexto);
    registrarVentanaDetalle(registro, contexto);
    registrarVentanaImportar(registro, contexto);
}

} // namespace kv
