#pragma once

#include "hojacalculo.h"
#include "importacionvuelos.h"
#include "mapeohoja.h"

#include <QList>
#include <functional>

namespace kv {

// The top of a sheet, for choosing its columns: the heading row and the
// rows with text below it.
struct MuestraHoja
{
    QStringList hojas; // the workbook's sheets (none for a CSV file)
    QString hoja; // the sheet read
    qint64 filaTitulos = 0; // the heading row read (0: none)
    QStringList titulos; // its cells
    QList<FilaHoja> filas; // the rows below it, as many as asked for
    int columnas = 0; // up to the last column with text in the heading row or those rows
    QString error; // why the file cannot be read; nothing else is set then

    bool valida() const { return error.isEmpty(); }
};

// Reads the sheet `hoja` of `ruta` (the first one shown when empty) only
// as far as the `filas`-th row with text below the heading row
// `filaTitulos`; a negative heading row is the first row with text.
MuestraHoja leerMuestra(const QString &ruta, const QString &hoja, qint64 filaTitulos, int filas);

// A row as the import will read it: the sheet's row number, its fields and
// the reason it will be refused (empty: it will be imported).
struct FilaVistaPrevia
{
    qint64 fila = 0;
    CamposVuelo campos;
    QString error;
};

// The rows of a sample the import would read through `mapeo`, blank ones
// passed over, checked by `reglas`.
QList<FilaVistaPrevia> vistaPrevia(
    const MuestraHoja &muestra, const MapeoHoja &mapeo, const ReglasImportacion &reglas);

// Imports the rows below the heading row of the sheet at `ruta` through
// `mapeo`, with the declaration's import: its rules, its saving, its error
// file and its one transaction. Blank rows are passed over. A file that
// cannot be read, or turns out damaged part way, imports nothing.
ResultadoImportacion importarHoja(ImportacionVuelos &importacion, const QString &ruta, const MapeoHoja &mapeo,
    const std::function<void(const AvanceImportacion &)> &avance = {});

} // namespace kv
