#include "lineacomandos.h"

namespace kv {

LineaComandos LineaComandos::leer(const QString &linea, QStringList *faltantes)
{
    struct Campo
    {
        QString LineaComandos::*destino;
        int inicio; // 0-based
        int largo;
        const char *nombre;
    };
    static const Campo campos[] = {
        {&LineaComandos::tipoDocumento, 0, 2, "tipo de documento"},
        {&LineaComandos::numeroDocumento, 2, 15, "número de documento"},
        {&LineaComandos::formulario, 17, 4, "formulario"},
        {&LineaComandos::periodo, 21, 6, "periodo"},
        {&LineaComandos::indicador, 27, 1, "indicador"},
        {&LineaComandos::numeroEnvio, 28, 8, "número de envío"},
    };
    const QString completa = linea.leftJustified(kLargo, u' ');
    LineaComandos r;
    for (const Campo &c : campos) {
        r.*c.destino = completa.mid(c.inicio, c.largo);
        if (faltantes && linea.size() < c.inicio + c.largo)
            faltantes->append(QString::fromUtf8(c.nombre));
    }
    return r;
}

} // namespace kv
