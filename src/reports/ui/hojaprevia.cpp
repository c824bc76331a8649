#include "hojaprevia.h"

#include "reports/dibujopagina.h"
#include "store/ui/listas.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace kv {

namespace {
// One notch of a mouse wheel; a touchpad sends it in small parts.
constexpr int kMuesca = 120;
} // namespace

HojaPrevia::HojaPrevia(QWidget *padre) : QWidget(padre)
{
    const QSize twips = tamanoPaginaA4Twips();
    m_natural = QSize(twipsAPixeles(this, twips.width()), twipsAPixeles(this, twips.height()));
    setFixedSize(m_natural);
    setAutoFillBackground(false);
}

void HojaPrevia::mostrar(Pagina pagina)
{
    m_pagina = std::move(pagina);
    update();
}

void HojaPrevia::fijarZoom(double zoom)
{
    m_zoom = zoom;
    setFixedSize(qRound(m_natural.width() * zoom), qRound(m_natural.height() * zoom));
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
    opciones.zoom = m_zoom;
    // The sheet as it comes out of the printer or the PDF file.
    colocarComoPdf(opciones);
    dibujarPagina(&pintor, m_pagina, opciones);
}

VisorPrevia::VisorPrevia(QWidget *padre) : QScrollArea(padre)
{
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    setFocusPolicy(Qt::StrongFocus);
}

void VisorPrevia::wheelEvent(QWheelEvent *evento)
{
    const int delta = evento->angleDelta().y();
    if (evento->modifiers() & Qt::ControlModifier) {
        if (delta != 0)
            Q_EMIT zoomPedido(double(delta) / kMuesca);
        evento->accept();
        return;
    }
    QScrollBar *barra = verticalScrollBar();
    const bool alPie = delta < 0 && barra->value() >= barra->maximum();
    const bool arriba = delta > 0 && barra->value() <= barra->minimum();
    if (!alPie && !arriba) {
        m_empuje = 0;
        QScrollArea::wheelEvent(evento);
        return;
    }
    // Pushed on against the end of the page: a whole notch turns it.
    if ((m_empuje < 0) != (delta < 0))
        m_empuje = 0;
    m_empuje += delta;
    evento->accept();
    if (std::abs(m_empuje) >= kMuesca) {
        m_empuje = 0;
        Q_EMIT pasarHoja(delta < 0 ? 1 : -1);
    }
}

void VisorPrevia::resizeEvent(QResizeEvent *evento)
{
    QScrollArea::resizeEvent(evento);
    Q_EMIT redimensionado();
}

} // namespace kv
