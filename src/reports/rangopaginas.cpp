#include "rangopaginas.h"

#include "store/numeros.h"
#include "store/texto.h"

#include <algorithm>
#include <limits>

namespace kv {

namespace {
int acotar(std::int64_t v)
{
    return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
} // namespace

ValidacionRango validarRangoPaginas(const QString &desde, const QString &hasta)
{
    ValidacionRango v;
    if (recortarBlancos(desde).isEmpty()) {
        v.mensaje = QStringLiteral("Ingrese página de inicio.");
        return v;
    }
    const Decimal inicio = val(desde);
    if (!(inicio > Decimal())) {
        v.mensaje = QStringLiteral("Página inicial debe ser a partir de 1.");
        return v;
    }
    if (recortarBlancos(hasta).isEmpty()) {
        v.mensaje = QStringLiteral("Ingrese página de Fin.");
        return v;
    }
    const Decimal fin = val(hasta);
    if (fin < inicio) {
        v.mensaje = QStringLiteral("Página de Inicio debe ser mayor a página de Fin.");
        return v;
    }
    v.desde = acotar(inicio.aEnteroPar());
    v.hasta = acotar(fin.aEnteroPar());
    return v;
}

} // namespace kv
