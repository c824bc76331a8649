#pragma once

#include <QString>

class QLineEdit;

namespace kv {

// A figure must be read whole: a line edit whose text is wider than its
// contents by a single pixel scrolls it, and "23,456,789,012" is then read
// for 123,456,789,012. These give a box the width its longest text needs in
// the box's own font and style, at whatever scale the screen is shown.
int anchoParaTexto(const QLineEdit *campo, const QString &texto);
// Fixes the box's width to what the text needs.
void ajustarAnchoATexto(QLineEdit *campo, const QString &texto);

} // namespace kv
