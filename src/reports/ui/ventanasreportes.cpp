#include "ventanasreportes.h"

#include "frmconsist.h"
#include "frmimprimeform.h"
#include "frmimpxpag.h"
#include "store/ui/ventanas.h"

namespace kv {

void registrarVentanasReportes(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra,
                               FabricaImpresora fabrica)
{
    registro.registrar(QStringLiteral("Validar"),
                       [&contexto, fabrica](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
                           auto ventana = std::make_unique<FrmConsist>(contexto, fabrica, padre);
                           ventana->sFileError = p.texto;
                           ventana->advertencias = p.advertencias;
                           ventana->devolver = p.devolver;
                           ventana->cargar();
                           return ventana;
                       });
    registro.registrar(QStringLiteral("ImprimirxPaginas"),
                       [&contexto, fabrica](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
                           auto ventana = std::make_unique<frmImpxPag>(contexto, fabrica, padre);
                           ventana->nTotPaginas = p.paginas;
                           ventana->sNombreRep = p.texto;
                           ventana->cargar();
                           return ventana;
                       });
    registro.registrar(QStringLiteral("ListaImprimirFormularios"),
                       [&contexto, barra, fabrica](const ParametrosVentana &p,
                                                   QWidget *padre) -> std::unique_ptr<QDialog> {
                           auto ventana = std::make_unique<FrmImprimeForm>(contexto, p, barra, fabrica, padre);
                           ventana->cargar();
                           return ventana;
                       });
}

} // namespace kv
