#include "anchotexto.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtMath>

namespace kv {

namespace {

// Blank pixels Qt keeps on each side of a line edit's text.
constexpr int kMargenTexto = 2;

} // namespace

int anchoParaTexto(const QLineEdit *campo, const QString &texto)
{
    // Qt shows a text unscrolled, where its alignment puts it, when its
    // width and a pixel for the cursor fit inside the contents less the
    // text margins and two blank pixels a side.
    const int usado = qRound(QFontMetricsF(campo->font()).horizontalAdvance(texto)) + 1;
    const QMargins margenes = campo->textMargins();
    const int contenido = usado + 2 * kMargenTexto + margenes.left() + margenes.right();

    // The style's frame around the contents, measured on a box of that
    // width rather than assumed.
    QStyleOptionFrame opcion;
    opcion.initFrom(campo);
    opcion.rect = QRect(0, 0, contenido + 100, campo->sizeHint().height());
    opcion.lineWidth = campo->hasFrame() ? campo->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opcion, campo) : 0;
    opcion.midLineWidth = 0;
    opcion.state |= QStyle::State_Sunken;
    if (campo->isReadOnly())
        opcion.state |= QStyle::State_ReadOnly;
    const QRect dentro = campo->style()->subElementRect(QStyle::SE_LineEditContents, &opcion, campo);
    return contenido + (opcion.rect.width() - dentro.width());
}

void ajustarAnchoATexto(QLineEdit *campo, const QString &texto)
{
    campo->setFixedWidth(anchoParaTexto(campo, texto));
}

} // namespace kv
