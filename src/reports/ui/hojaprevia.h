#pragma once

#include "reports/registroreporte.h"

#include <QScrollArea>
#include <QWidget>

namespace kv {

// The page picture of the preview: one A4 sheet at screen resolution times
// a zoom, drawn from its page's records each time it is painted.
class HojaPrevia : public QWidget
{
    Q_OBJECT
public:
    explicit HojaPrevia(QWidget *padre = nullptr);

    void mostrar(Pagina pagina);
    const Pagina &pagina() const { return m_pagina; }
    QColor colorFondo() const;

    // The sheet's size on screen at zoom 1.
    QSize tamanoNatural() const { return m_natural; }
    double zoom() const { return m_zoom; }
    void fijarZoom(double zoom);

protected:
    void paintEvent(QPaintEvent *evento) override;

private:
    Pagina m_pagina;
    QSize m_natural;
    double m_zoom = 1.0;
};

// Where the page picture is looked at: one scroll bar a direction, the
// mouse wheel scrolling it and, past the top or the foot of the page,
// turning to the previous or the next one; with Ctrl the wheel zooms.
class VisorPrevia : public QScrollArea
{
    Q_OBJECT
public:
    explicit VisorPrevia(QWidget *padre = nullptr);

Q_SIGNALS:
    // +1 the next page (shown from its top), -1 the previous one (from its
    // foot).
    void pasarHoja(int sentido);
    // Wheel steps with Ctrl held, positive to enlarge.
    void zoomPedido(double pasos);
    void redimensionado();

protected:
    void wheelEvent(QWheelEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    int m_empuje = 0; // wheel turned against the end of the page
};

} // namespace kv
