#include "dibujopagina.h"

#include "impresorapintor.h"

#include <QPainter>

#include <algorithm>

namespace kv {

namespace {

constexpr int kPasoVertical = 190;
const QString kFuente = QStringLiteral("Courier New");
// Coordinates are 16-bit: nothing lies beyond this on any page.
constexpr int kCoordenadaMaxima = 32767;

QSize areaVisible(const Impresora &impresora)
{
    const QSize area = impresora.areaPagina();
    return QSize(area.width() > 0 ? area.width() : kCoordenadaMaxima,
                 area.height() > 0 ? area.height() : kCoordenadaMaxima);
}

// How many characters of a text at x can begin on the page. A character is
// taken to be no narrower than an eighth of the line height (Courier New's
// are over half of it), so nothing that could show is left out, while a
// text of a million characters costs what a line of the page costs.
qsizetype caracteresVisibles(const Impresora &impresora, int x, qsizetype largo)
{
    const qint64 anchoMinimo = std::max(1, impresora.altoLinea() / 8);
    const qint64 espacio = qint64(areaVisible(impresora).width()) - x;
    if (espacio < 0)
        return 0;
    return std::min<qint64>(largo, espacio / anchoMinimo + 1);
}

// The characters of a vertical text whose cells lie on the page, one every
// 190 twips downwards: [primero, fin).
std::pair<qsizetype, qsizetype> tramoVertical(const Impresora &impresora, int y, qsizetype largo)
{
    const qint64 alto = std::max(0, impresora.altoLinea());
    // A cell shows while its bottom is below the top edge and its top above
    // the bottom edge.
    const qint64 primero = y + alto >= 0 ? 0 : (-(y + alto)) / kPasoVertical + 1;
    const qint64 limite = areaVisible(impresora).height();
    const qint64 fin = y > limite ? 0 : (limite - y) / kPasoVertical + 1;
    return {qsizetype(std::min<qint64>(primero, largo)), qsizetype(std::clamp<qint64>(fin, 0, largo))};
}

} // namespace

bool enviarRegistro(Impresora &impresora, const Registro &r)
{
    switch (r.tipo) {
    case Registro::Tipo::Texto:
        impresora.fijarFuente(kFuente);
        impresora.fijarNegrita(r.negrita);
        impresora.fijarTamano(r.tamano);
        return impresora.texto(r.x, r.y, r.texto.left(caracteresVisibles(impresora, r.x, r.texto.size())));
    case Registro::Tipo::Cuadro:
        return impresora.linea(r.x, r.y, r.x, r.y2) && impresora.linea(r.x2, r.y, r.x2, r.y2)
               && impresora.linea(r.x, r.y, r.x2, r.y) && impresora.linea(r.x, r.y2, r.x2, r.y2);
    case Registro::Tipo::TextoVertical: {
        impresora.fijarFuente(kFuente);
        impresora.fijarNegrita(r.negrita);
        impresora.fijarTamano(r.tamano);
        const auto [primero, fin] = tramoVertical(impresora, r.y, r.texto.size());
        for (qsizetype i = primero; i < fin; ++i) {
            if (!impresora.texto(r.x, r.y + int(i) * kPasoVertical, r.texto.mid(i, 1)))
                return false;
        }
        return true;
    }
    default:
        return true;
    }
}

QSize tamanoPaginaA4Twips()
{
    // 210 x 297 mm.
    return QSize(11906, 16838);
}

double ajusteAlAncho(double anchoAreaTwips)
{
    if (anchoAreaTwips <= 0)
        return 1.0;
    return std::min(1.0, anchoAreaTwips / kAnchoReportesTwips);
}

void colocarComoPdf(OpcionesDibujo &opciones)
{
    const QSize hoja = opciones.tamanoTwips.isEmpty() ? tamanoPaginaA4Twips() : opciones.tamanoTwips;
    opciones.origenTwips = QPoint(kMargenPdfTwips, kMargenPdfTwips);
    opciones.ajuste = ajusteAlAncho(hoja.width() - 2 * kMargenPdfTwips);
}

void dibujarPagina(QPainter *pintor, const Pagina &pagina, const OpcionesDibujo &opciones)
{
    pintor->save();
    ImpresoraPintor::fijarEscalaTwips(pintor, opciones.zoom);
    const QSize tamano = opciones.tamanoTwips.isEmpty() ? tamanoPaginaA4Twips() : opciones.tamanoTwips;
    if (opciones.pintarFondo)
        pintor->fillRect(QRect(QPoint(0, 0), tamano), colorDesdeOle(pagina.colorOle, opciones.paleta));
    pintor->translate(opciones.origenTwips);
    pintor->scale(opciones.ajuste, opciones.ajuste);
    const double ajuste = opciones.ajuste > 0 ? opciones.ajuste : 1.0;
    ImpresoraPintor lienzo(pintor, QSize(int((tamano.width() - opciones.origenTwips.x()) / ajuste),
                                         int((tamano.height() - opciones.origenTwips.y()) / ajuste)));
    for (const Registro &r : pagina.registros)
        enviarRegistro(lienzo, r);
    pintor->restore();
}

QColor colorDesdeOle(quint32 colorOle, const QPalette &paleta)
{
    if ((colorOle & 0x80000000u) == 0) {
        return QColor(int(colorOle & 0xFF), int((colorOle >> 8) & 0xFF), int((colorOle >> 16) & 0xFF));
    }
    QPalette::ColorRole rol = QPalette::Base;
    switch (colorOle & 0xFFFFu) {
    case 0: rol = QPalette::Button; break;
    case 1: rol = QPalette::Dark; break;
    case 2: rol = QPalette::Highlight; break;
    case 3: rol = QPalette::Mid; break;
    case 4: rol = QPalette::Window; break;
    case 5: rol = QPalette::Base; break;
    case 6: rol = QPalette::Shadow; break;
    case 7: rol = QPalette::WindowText; break;
    case 8: rol = QPalette::Text; break;
    case 9: rol = QPalette::HighlightedText; break;
    case 10: rol = QPalette::Midlight; break;
    case 11: rol = QPalette::Midlight; break;
    case 12: rol = QPalette::Mid; break;
    case 13: rol = QPalette::Highlight; break;
    case 14: rol = QPalette::HighlightedText; break;
    case 15: rol = QPalette::Button; break;
    case 16: rol = QPalette::Dark; break;
    case 17: rol = QPalette::PlaceholderText; break;
    case 18: rol = QPalette::ButtonText; break;
    case 19: rol = QPalette::Text; break;
    case 20: rol = QPalette::Light; break;
    case 21: rol = QPalette::Shadow; break;
    case 22: rol = QPalette::Midlight; break;
    case 23: rol = QPalette::ToolTipText; break;
    case 24: rol = QPalette::ToolTipBase; break;
    default: rol = QPalette::Base; break;
    }
    return paleta.color(QPalette::Active, rol);
}

} // namespace kv
