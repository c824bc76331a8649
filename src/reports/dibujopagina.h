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

// How the reports lie on a sheet. They are laid out in twips from the
// corner of a printer's printable area and reach x 11500 at the widest (the
// rules of the import error report). A sheet whose printable area is
// narrower takes them scaled down just enough, never up, so that a printer
// cuts nothing off.
constexpr int kAnchoReportesTwips = 11500;
double ajusteAlAncho(double anchoAreaTwips);

// A PDF file has no unprintable edge of its own: it keeps the margin of a
// common printer, a quarter of an inch on every side, so that a page printed
// from it loses nothing to a printer's edge either.
constexpr int kMargenPdfTwips = 360;

// A page drawn with a painter in device coordinates (a page picture, a
// printer page, a PDF page). The painter's state is restored afterwards.
struct OpcionesDibujo
{
    double zoom = 1.0;        // on top of the device's own resolution
    bool pintarFondo = false; // fill the page with its background colour first
    QSize tamanoTwips;        // the page, for the background (A4 portrait when empty)
    QPalette paleta;          // resolves system colours
    QPoint origenTwips;       // where the page's (0, 0) lies on the sheet
    double ajuste = 1.0;      // the page's scale on the sheet
};
void dibujarPagina(QPainter *pintor, const Pagina &pagina, const OpcionesDibujo &opciones = {});

// The page placed on an A4 portrait sheet as a PDF file places it.
void colocarComoPdf(OpcionesDibujo &opciones);

// A colour of a colour record on this system. An explicit colour is
// 0x00BBGGRR. 0x80000000 plus an index names a system colour, which maps to
// the palette role that plays the same part here:
//    0 scroll bar             Button          13 selection           Highlight
//    1 desktop                Dark            14 selected text       HighlightedText
//    2 active caption         Highlight       15 button face         Button
//    3 inactive caption       Mid             16 button shadow       Dark
//    4 menu                   Window          17 grey text           PlaceholderText
//    5 window background      Base            18 button text         ButtonText
//    6 window frame           Shadow          19 inactive cap. text  Text
//    7 menu text              WindowText      20 button highlight    Light
//    8 window text            Text            21 dark 3D shadow      Shadow
//    9 caption text           HighlightedText 22 3D light            Midlight
//   10 active border          Midlight        23 tooltip text        ToolTipText
//   11 inactive border        Midlight        24 tooltip background  ToolTipBase
//   12 application workspace  Mid
// Any other index takes the window background (Base).
QColor colorDesdeOle(quint32 colorOle, const QPalette &paleta);

// A4 portrait, in twips: the size of a page picture and of a PDF page.
QSize tamanoPaginaA4Twips();

} // namespace kv
