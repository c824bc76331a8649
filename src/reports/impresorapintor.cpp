#include "impresorapintor.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace kv {

namespace {
constexpr double kTwipsPorPunto = 20.0;
}

ImpresoraPintor::ImpresoraPintor(QPainter *pintor, QSize area) : m_pintor(pintor), m_area(area) {}

bool ImpresoraPintor::iniciar(Orientacion, const QString &)
{
    return !m_error.hay();
}

void ImpresoraPintor::fijarFuente(const QString &nombre)
{
    m_nombreFuente = nombre;
}

void ImpresoraPintor::fijarTamano(double puntos)
{
    if (puntos > 0)
        m_puntos = puntos;
}

void ImpresoraPintor::fijarNegrita(bool negrita)
{
    m_negrita = negrita;
}

void ImpresoraPintor::fijarCursiva(bool cursiva)
{
    m_cursiva = cursiva;
}

void ImpresoraPintor::fijarSubrayado(bool subrayado)
{
    m_subrayado = subrayado;
}

QFont ImpresoraPintor::fuenteActual() const
{
    QFont fuente(m_nombreFuente);
    fuente.setStyleHint(QFont::TypeWriter);
    // In twips: one pixel of the painter is one twip, so the size is exact
    // whatever the resolution of the device.
    fuente.setPixelSize(std::max(1, int(std::lround(m_puntos * kTwipsPorPunto))));
    fuente.setBold(m_negrita);
    fuente.setItalic(m_cursiva);
    fuente.setUnderline(m_subrayado);
    fuente.setKerning(false);
    return fuente;
}

bool ImpresoraPintor::texto(int x, int y, const QString &texto)
{
    if (m_error.hay() || !m_pintor)
        return false;
    if (!prepararDibujo())
        return false;
    if (texto.isEmpty())
        return true;
    const QFont fuente = fuenteActual();
    m_pintor->setFont(fuente);
    m_pintor->setPen(QPen(Qt::black));
    // (x, y) is the top of the character cell; the text sits on the
    // baseline one ascent lower.
    const QFontMetricsF metricas(fuente);
    m_pintor->drawText(QPointF(x, y + metricas.ascent()), texto);
    return true;
}

bool ImpresoraPintor::linea(int x1, int y1, int x2, int y2)
{
    if (m_error.hay() || !m_pintor)
        return false;
    if (!prepararDibujo())
        return false;
    QPen pluma(Qt::black);
    pluma.setWidth(0); // one pixel of the device, whatever its resolution
    pluma.setCosmetic(true);
    m_pintor->setPen(pluma);
    m_pintor->drawLine(QPoint(x1, y1), QPoint(x2, y2));
    return true;
}

bool ImpresoraPintor::nuevaPagina()
{
    if (m_error.hay())
        return false;
    ++m_saltosPendientes;
    return true;
}

bool ImpresoraPintor::terminar()
{
    m_saltosPendientes = 0;
    return !m_error.hay();
}

void ImpresoraPintor::abortar()
{
    m_saltosPendientes = 0;
}

int ImpresoraPintor::altoLinea() const
{
    return int(std::lround(QFontMetricsF(fuenteActual()).lineSpacing()));
}

void ImpresoraPintor::fijarEscalaTwips(QPainter *pintor, double zoom)
{
    const QPaintDevice *dispositivo = pintor->device();
    const double sx = dispositivo ? dispositivo->logicalDpiX() / 1440.0 : 96.0 / 1440.0;
    const double sy = dispositivo ? dispositivo->logicalDpiY() / 1440.0 : 96.0 / 1440.0;
    pintor->scale(sx * zoom, sy * zoom);
}

void ImpresoraPintor::fallar(int numero, const QString &descripcion)
{
    if (!m_error.hay())
        m_error = ErrorImpresora{numero, descripcion};
}

} // namespace kv
