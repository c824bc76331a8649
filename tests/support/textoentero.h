#pragma once

#include <QFontMetrics>
#include <QLineEdit>
#include <QString>

namespace kv::prueba {

// Where the cursor stands, as Qt draws the box with `texto` in it, before
// the first character and after the last. The text is put into the box
// (its length limit raised, as the windows do for a figure they show).
struct Recorrido
{
    int inicio;
    int fin;
    int ancho() const { return fin - inicio; }
};

inline Recorrido recorridoDelCursor(QLineEdit *campo, const QString &texto)
{
    const auto cursor = [campo](int posicion) {
        campo->setCursorPosition(posicion);
        campo->grab(); // the scrolling is worked out as the box is drawn
        return campo->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    campo->setMaxLength(std::max(campo->maxLength(), int(texto.size())));
    campo->setText(texto);
    const int inicio = cursor(0);
    return {inicio, cursor(int(texto.size()))};
}

// The box shows `texto` whole and where it shows any figure, as Qt judges a
// text that fits its contents. A text wider than the box is scrolled to keep
// the cursor in view, and the cursor then travels less than the text's
// width; a text that only just misses is drawn from the left, so a
// right-aligned figure no longer ends where a short one does.
inline bool muestraEntero(QLineEdit *campo, const QString &texto)
{
    const int finCorto = recorridoDelCursor(campo, QStringLiteral("0")).fin;
    const Recorrido r = recorridoDelCursor(campo, texto);
    const bool entero = r.ancho() >= QFontMetrics(campo->font()).horizontalAdvance(texto) - 1;
    return entero && (!(campo->alignment() & Qt::AlignRight) || r.fin == finCorto);
}

} // namespace kv::prueba
