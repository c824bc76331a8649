// A workbook as the spreadsheet import reads it, straight from memory.
// Whatever the bytes: the file is refused with a message, or its rows come
// in order within a sheet's bounds, none blank, each cell kept as a date
// showing a real day as dd/mm/yyyy; a reader that stopped on an error gives
// nothing more; and the sheet read on two threads in pieces of a row or two
// is refused as well, or gives the same rows.
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
    QList<FilaHoja> filas;
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
        filas.append(fila);
        fila = {};
    }
    if (!lector->error().isEmpty())
        KV_COMPROBAR(!lector->siguiente(fila));

    const std::unique_ptr<LectorXlsx> paralelo = LectorXlsx::abrirDatos(bytes, {}, error);
    KV_COMPROBAR(paralelo);
    QList<FilaHoja> otras;
    if (paralelo->leerEnParalelo(2, 64)) {
        while (paralelo->siguiente(fila)) {
            otras.append(fila);
            fila = {};
        }
    }
    KV_COMPROBAR(paralelo->error().isEmpty() == lector->error().isEmpty());
    if (lector->error().isEmpty()) {
        KV_COMPROBAR(otras.size() == filas.size());
        for (qsizetype i = 0; i < filas.size(); ++i) {
            KV_COMPROBAR(otras[i].numero == filas[i].numero);
            KV_COMPROBAR(otras[i].celdas == filas[i].celdas);
            KV_COMPROBAR(otras[i].fechas == filas[i].fechas);
        }
    }
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
