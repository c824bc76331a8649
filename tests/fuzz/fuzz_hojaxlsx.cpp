// A workbook as the spreadsheet import reads it, straight from memory.
// Whatever the bytes: the file is refused with a message, or its rows come
// in order within a sheet's bounds, none blank, each cell kept as a date
// showing a real day as dd/mm/yyyy; and a reader that stopped on an error
// gives nothing more.
#include "comprobar.h"
#include "flights/lectorxlsx.h"

#include <QDate>
#include <cstdint>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    const QByteArray bytes(reinterpret_cast<const char *>(datos), qsizetype(largo));
    QString error;
    const std::unique_ptr<LectorXlsx> lector = LectorXlsx::abrirDatos(bytes, {}, error);
    if (!lector) {
        KV_COMPROBAR(!error.isEmpty());
        return 0;
    }
    KV_COMPROBAR(error.isEmpty());
    KV_COMPROBAR(lector->hojas().contains(lector->hoja()));
    FilaHoja fila;
    qint64 filas = 0;
    while (lector->siguiente(fila)) {
        KV_COMPROBAR(fila.numero >= 1 && fila.numero <= kFilasHoja);
        KV_COMPROBAR(fila.celdas.size() <= kColumnasHoja);
        KV_COMPROBAR(!fila.enBlanco());
        for (const int c : std::as_const(fila.fechas)) {
            KV_COMPROBAR(c >= 0 && c < fila.celdas.size());
            const QString &f = fila.celdas.at(c);
            KV_COMPROBAR(f == u"29/02/1900" || QDate::fromString(f, u"dd/MM/yyyy").isValid());
        }
        KV_COMPROBAR(lector->leido() <= lector->total());
        KV_COMPROBAR(lector->total() <= LectorXlsx::kLimiteExpandido);
        ++filas;
        fila = {};
    }
    if (!lector->error().isEmpty())
        KV_COMPROBAR(!lector->siguiente(fila));
    // The same workbook on another of its sheets opens as well, or says
    // why not.
    for (const QString &hoja : lector->hojas()) {
        const std::unique_ptr<LectorXlsx> otra = LectorXlsx::abrirDatos(bytes, hoja, error);
        KV_COMPROBAR(otra || !error.isEmpty());
        if (otra)
            KV_COMPROBAR(otra->hoja() == hoja || lector->hojas().count(hoja) > 1);
    }
    return 0;
}
