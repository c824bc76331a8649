#include "dibujopagina.h"

#include "impresorapintor.h"

#include <QPainter>

namespace kv {

namespace {
constexpr int kPasoVertical = 190;
const QString kFuente = QStringLiteral("Courier New");
} // namespace

bool enviarRegistro(Impresora &impresora, const Registro &r)
{
    switch (r.tipo) {
    case Registro::Tipo::Texto:
        impresora.fijarFuente(kFuente);
        impresora.fijarNegrita(r.negrita);
        impresora.fijarTamano(r.tamano);
        return impresora.texto(r.x, r.y, r.texto);
    case Registro::Tipo::Cuadro:
        return impresora.linea(r.x, r.y, r.x, r.y2) && impresora.linea(r.x2, r.y, r.x2, r.y2)
               && impresora.linea(r.x, r.y, r.x2, r.y) && impresora.linea(r.x, r.y2, r.x2, r.y2);
    case Registro::Tipo::TextoVertical:
        impresora.fijarFuente(kFuente);
        impresora.fijarNegrita(r.negrita);
        impresora.fijarTamano(r.tamano);
        for (qsizetype i = 0; i < r.texto.size(); ++i) {
            if (!impresora.texto(r.x, r.y + int(i) * kPasoVertical, r.texto.mid(i, 1)))
                return false;
        }
        return true;
    default:
        return true;
    }
}

QSize tamanoPaginaA4Twips()
{
    // 210 x 297 mm.
    return QSize(11906, 16838);
}

void dibujarPagina(QPainter *pintor, const Pagina &pagina, const OpcionesDibujo &opciones)
{
    pintor->save();
    ImpresoraPintor::fijarEscalaTwips(pintor, opciones.zoom);
    const QSize tamano = opciones.tamanoTwips.isEmpty() ? tamanoPaginaA4Twips() : opciones.tamanoTwips;
    if (opciones.pintarFondo)
        pintor->fillRect(QRect(QPoint(0, 0), tamano), colorDesdeOle(pagina.colorOle, opciones.paleta));
    ImpresoraPintor lienzo(pintor, tamano);
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
