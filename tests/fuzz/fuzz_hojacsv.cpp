// A carrier's CSV file as the spreadsheet import reads it. Whatever the
// bytes, the rows come in order, none of them blank; and the rows written
// back as CSV (every field quoted, the same separator) read back the same,
// so that no cell loses or gains a character on the way.
#include "comprobar.h"
#include "flights/lectorcsv.h"

#include <cstdint>

using namespace kv;

namespace {

// A first row of two fields says which separator the rest use.
QByteArray escribir(const QList<QStringList> &filas, char separador)
{
    QByteArray salida = QByteArray("\"x\"") + separador + "\"y\"\r\n";
    for (const QStringList &celdas : filas) {
        for (qsizetype i = 0; i < celdas.size(); ++i) {
            if (i > 0)
                salida += separador;
            salida += '"' + celdas.at(i).toUtf8().replace('"', "\"\"") + '"';
        }
        salida += "\r\n";
    }
    return salida;
}

QList<QStringList> leer(const QByteArray &datos, LectorCsv &lector, bool &completo)
{
    QList<QStringList> filas;
    FilaHoja fila;
    qint64 anterior = 0;
    while (lector.siguiente(fila)) {
        KV_COMPROBAR(fila.numero > anterior);
        KV_COMPROBAR(!fila.enBlanco());
        KV_COMPROBAR(fila.fechas.isEmpty());
        KV_COMPROBAR(lector.leido() <= lector.total());
        anterior = fila.numero;
        filas << fila.celdas;
    }
    completo = lector.error().isEmpty();
    KV_COMPROBAR(!lector.siguiente(fila));
    KV_COMPROBAR(lector.total() <= datos.size());
    return filas;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    const QByteArray bytes(reinterpret_cast<const char *>(datos), qsizetype(largo));
    LectorCsv lector(bytes);
    bool completo = false;
    const QList<QStringList> filas = leer(bytes, lector, completo);
    if (!completo)
        return 0;

    const QByteArray escrito = escribir(filas, lector.separador());
    LectorCsv otra(escrito);
    bool completa = false;
    const QList<QStringList> releidas = leer(escrito, otra, completa);
    KV_COMPROBAR(completa);
    KV_COMPROBAR(otra.utf8());
    KV_COMPROBAR(otra.separador() == lector.separador());
    KV_COMPROBAR(releidas.mid(1) == filas);
    return 0;
}
