#include "hojaprevia.h"

#include "reports/dibujopagina.h"
#include "store/ui/listas.h"

#include <QPainter>

namespace kv {

HojaPrevia::HojaPrevia(QWidget *padre) : QWidget(padre)
{
    const QSize twips = tamanoPaginaA4Twips();
    setFixedSize(twipsAPixeles(this, twips.width()), twipsAPixeles(this, twips.height()));
    setAutoFillBackground(false);
}

void HojaPrevia::mostrar(Pagina pagina)
{
    m_pagina = std::move(pagina);
    update();
}

QColor HojaPrevia::colorFondo() const
{
    return colorDesdeOle(m_pagina.colorOle, palette());
}

void HojaPrevia::paintEvent(QPaintEvent *)
{
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::TextAntialiasing);
    pintor.fillRect(rect(), colorFondo());
    OpcionesDibujo opciones;
    opciones.paleta = palette();
    // The sheet as it comes out of the printer or the PDF file.
    colocarComoPdf(opciones);
    dibujarPagina(&pintor, m_pagina, opciones);
}

} // namespace kv
