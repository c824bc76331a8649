// The installer's layout file (env517.txt), read as the installer reads it:
// every line up to the first blank one comes back, either as a row that can
// be stored as it stands or with the reason it cannot.
#include "comprobar.h"
#include "installer/instalador.h"

#include <cmath>
#include <cstdint>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    const QByteArray contenido = QByteArray::fromRawData(reinterpret_cast<const char *>(datos), qsizetype(largo));
    const QList<LineaEnvio> lineas = Instalador::leerArchivoEnvio(contenido);
    int anterior = 0;
    for (const LineaEnvio &l : lineas) {
        KV_COMPROBAR(l.numero == anterior + 1);
        anterior = l.numero;
        KV_COMPROBAR(!l.texto.trimmed().isEmpty());
        KV_COMPROBAR(l.fila.has_value() == l.motivo.isEmpty());
        if (!l.fila)
            continue;
        const FilaEnvio &f = *l.fila;
        KV_COMPROBAR(!f.tablaOrigen.isEmpty() && f.tablaOrigen == f.tablaOrigen.trimmed());
        KV_COMPROBAR(!f.tablaDestino.isEmpty());
        for (const int byte : {f.indice, f.obliga, f.cTipDocD})
            KV_COMPROBAR(byte >= 0 && byte <= 255);
        KV_COMPROBAR(f.columnas.size() == 6);
        for (const QVariant &v : f.columnas) {
            KV_COMPROBAR(v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double);
            KV_COMPROBAR(v.typeId() != QMetaType::Double || std::isfinite(v.toDouble()));
        }
    }
    return 0;
}
