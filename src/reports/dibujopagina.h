#pragma once

#include "registroreporte.h"

#include <QColor>
#include <QPalette>

class QPainter;

namespace kv {

class Impresora;

// One drawing record sent to a printer (or to anything that draws like
// one): a text in Courier New at its weight and size, a box as four lines
// one pixel wide, a vertical text one character every 190 twips downwards.
// False when the printer failed.
bool enviarRegistro(Impresora &impresora, const Registro &registro);

// A page drawn with a painter in device coordinates (a page picture, a
// printer page, a PDF page). The painter's state is restored afterwards.
struct OpcionesDibujo
{
    double zoom = 1.0;        // on top of the device's own resolution
    bool pintarFondo = false; // fill the page with its background colour first
    QSize tamanoTwips;        // the page, for the background (A4 portrait when empty)
    QPalette paleta;          // resolves system colours
};
void dibujarPagina(QPainter *pintor, const Pagina &pagina, const OpcionesDibujo &opciones = {});

// A colour of a colour record on this system. An explicit colour is
// 0x00BBGGRR. 0x80000000 plus an index names a system colour, which maps to
// the palette role that plays the same part:
//   0 scroll bar, 15 button face, 4 menu             -> Button / Window
//   1 desktop, 12 application workspace, 16 shadow   -> Dark / Mid / Dark
//   2 active caption, 13 selection                    -> Highlight
//   3 inactive caption                                -> Mid
//   5 window background                               -> Base
//   6 window frame, 21 dark 3D shadow                 -> Shadow
//   7 menu text, 8 window text                        -> WindowText / Text
//   9 caption text, 14 selected text                  -> HighlightedText
//  10 active border, 11 inactive border, 22 3D light  -> Midlight
//  17 grey text                                       -> PlaceholderText
//  18 button text                                     -> ButtonText
//  19 inactive caption text                           -> Text
//  20 button highlight                                -> Light
//  23 tooltip text, 24 tooltip background             -> ToolTipText / ToolTipBase
// Any other index takes the window background (Base).
QColor colorDesdeOle(quint32 colorOle, const QPalette &paleta);

// A4 portrait, in twips: the size of a page picture and of a PDF page.
QSize tamanoPaginaA4Twips();

} // namespace kv
