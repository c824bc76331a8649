#pragma once

#include "impresora.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace kv {

// One line of a page-description file, as read.
struct Registro
{
    enum class Tipo {
        Fuente,        // <!font!>: the face is fixed, the value is kept for reference
        NumeroHojas,   // <!nHojas!>: declared page count, not trusted
        Orientacion,   // <!Orientacion!>: "V" or "H"
        Color,         // <!Color!>: background of the preview pages, an OLE colour
        Texto,         // pPos
        Cuadro,        // pCuadro
        TextoVertical, // pPosVerti
        NuevaHoja,     // pNuevaHoja
    };

    Tipo tipo = Tipo::Texto;
    int x = 0;
    int y = 0;
    int x2 = 0; // boxes only
    int y2 = 0;
    QString texto;
    bool negrita = false;
    int tamano = 0; // points
    int hoja = 0;   // page, from 0
    QString valor;  // header records: the value between the tags, trimmed
    quint32 color = 0;

    int linea = 0;        // 1-based line of the file
    qint64 posicion = -1; // byte offset of the line in the file

    bool esDibujo() const { return tipo == Tipo::Texto || tipo == Tipo::Cuadro || tipo == Tipo::TextoVertical; }
};

// Why a file could not be read to its end.
struct ErrorLectura
{
    // Numbers of the old run-time errors where one fits: 53 file not found,
    // 13 wrong type, 6 overflow, 62 a line the reader cannot take apart.
    int numero = 0;
    int linea = 0; // 0: not tied to a line
    QString motivo;

    bool hay() const { return numero != 0; }
    // "Línea n: reason" (or the reason alone), as the error message shows it.
    QString descripcion() const;
};

// The background of the preview pages until a colour record says otherwise:
// the system's window colour.
constexpr quint32 kColorVentana = 0x80000005u;

// What one page (one preview picture) holds: its drawing records in file
// order and its background.
struct Pagina
{
    quint32 colorOle = kColorVentana;
    QList<Registro> registros;
};

} // namespace kv
