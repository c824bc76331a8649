#include "ventanaspagos.h"

#include "frmdetallepagosprevios.h"
#include "frmlistapagosprevios.h"
#include "store/ui/ventanas.h"

namespace kv {

namespace {

template<typename Ventana>
void registrarVentana(RegistroVentanas &registro, const QString &nombre, Contexto &contexto)
{
    registro.registrar(nombre, [&contexto](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
        auto ventana = std::make_unique<Ventana>(contexto, p, padre);
        ventana->cargar();
        return ventana;
    });
}

} // namespace

void registrarVentanasPagos(RegistroVentanas &registro, Contexto &contexto)
{
    registrarVentana<FrmListaPagosPrevios>(registro, QStringLiteral("ListaPagosPrevios"), contexto);
    registrarVentana<FrmDetallePagosPrevios>(registro, QStringLiteral("DetallePagosPrevios"), contexto);
}

} // namespace kv
