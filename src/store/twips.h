#pragma once

#include <cmath>

namespace kv {

// Positions and sizes of windows and reports are kept in twips, 1/1440 inch.
// Screens convert at their logical dots per inch (15 twips a pixel at 96),
// printers and PDF files at their device resolution.
constexpr double kTwipsPorPulgada = 1440.0;

inline int twipsAPuntos(double twips, double dpi) { return int(std::lround(twips * dpi / kTwipsPorPulgada)); }
inline double puntosATwips(double puntos, double dpi) { return puntos * kTwipsPorPulgada / dpi; }

} // namespace kv
