#pragma once

#include "reports/registroreporte.h"

#include <QWidget>

namespace kv {

// The page picture of the preview: one page at screen resolution, drawn
// from its records each time it is painted.
class HojaPrevia : public QWidget
{
    Q_OBJECT
public:
    explicit HojaPrevia(QWidget *padre = nullptr);

    void mostrar(Pagina pagina);
    const Pagina &pagina() const { return m_pagina; }
    QColor colorFondo() const;

protected:
    void paintEvent(QPaintEvent *evento) override;

private:
    Pagina m_pagina;
};

} // namespace kv
