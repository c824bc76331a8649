#include "frmimpxpag.h"

#include "frmpreview.h"
#include "reports/rangopaginas.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/filtroteclas.h"
#include "store/ui/listas.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kv {

namespace {
// The gap in the first line of the notice, where the page count shows.
const QString kAntesDelHueco = QStringLiteral("El reporte generado contiene ");
const QString kHueco = QStringLiteral("                 ");
} // namespace

QString frmImpxPag::textoAviso()
{
    return kAntesDelHueco + kHueco + QStringLiteral("páginas. \n")
           + QStringLiteral("Si su consulta tiene más de 10 páginas puede ocasionar la \n")
           + QStringLiteral("caida del programa debido a la saturación de la memoria de la \n")
           + QStringLiteral("computadora. Se recomienda imprimir en rangos no mayores a \n") + QStringLiteral("10 páginas");
}

frmImpxPag::frmImpxPag(Contexto &contexto, FabricaImpresora fabrica, QWidget *padre)
    : QDialog(padre), m_ctx(contexto)
{
    setObjectName(QStringLiteral("frmImpxPag"));
    setWindowTitle(QStringLiteral("Impresión por páginas"));

    // Laid out in twips, as the notice must keep its line breaks and the
    // count box must sit over the gap of its first line.
    auto px = [this](int twips) { return twipsAPixeles(this, twips); };

    auto *marco = new QGroupBox(QStringLiteral("Imprimir por Páginas"), this);
    m_aviso = new QLabel(textoAviso(), marco);
    m_aviso->setObjectName(QStringLiteral("lblAviso"));
    m_aviso->setTextFormat(Qt::PlainText);
    m_aviso->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QFontMetrics metricas(m_aviso->font());
    int anchoAviso = 0;
    for (const QString &linea : textoAviso().split(u'\n'))
        anchoAviso = std::max(anchoAviso, metricas.horizontalAdvance(linea));
    const int altoLinea = metricas.lineSpacing();
    m_aviso->setGeometry(px(240), px(360), anchoAviso + 4, altoLinea * 5 + 4);

    m_total = new QLineEdit(marco);
    m_total->setObjectName(QStringLiteral("txtTotPaginas"));
    m_total->setReadOnly(true);
    m_total->setAlignment(Qt::AlignCenter);
    m_total->setFocusPolicy(Qt::NoFocus);
    m_total->setBackgroundRole(QPalette::Button);
    const int xHueco = m_aviso->x() + metricas.horizontalAdvance(kAntesDelHueco);
    const int anchoHueco = metricas.horizontalAdvance(kHueco) - 2;
    m_total->setGeometry(xHueco, m_aviso->y() - 3, anchoHueco, altoLinea + 6);

    const int yCampos = m_aviso->geometry().bottom() + px(240);
    auto *etiquetaDesde = new QLabel(QStringLiteral("&Desde :"), marco);
    m_desde = new QLineEdit(marco);
    m_desde->setObjectName(QStringLiteral("txtPagDesde"));
    etiquetaDesde->setBuddy(m_desde);
    auto *etiquetaHasta = new QLabel(QStringLiteral("&Hasta :"), marco);
    m_hasta = new QLineEdit(marco);
    m_hasta->setObjectName(QStringLiteral("txtPagHasta"));
    etiquetaHasta->setBuddy(m_hasta);
    etiquetaDesde->setGeometry(px(600), yCampos + 3, px(800), altoLinea);
    m_desde->setGeometry(px(1440), yCampos, px(900), altoLinea + 8);
    etiquetaHasta->setGeometry(px(3000), yCampos + 3, px(800), altoLinea);
    m_hasta->setGeometry(px(3840), yCampos, px(900), altoLinea + 8);
    m_desde->setMaxLength(5);
    m_hasta->setMaxLength(5);

    const int anchoMarco = std::max(anchoAviso + px(480), px(5400));
    const int altoMarco = yCampos + altoLinea + px(420);
    marco->setGeometry(px(120), px(120), anchoMarco, altoMarco);

    const QString textos[2] = {QStringLiteral("&Preliminar"), QStringLiteral("&Cancelar")};
    for (int i = 0; i < 2; ++i) {
        m_acciones[i] = new QPushButton(textos[i], this);
        m_acciones[i]->setObjectName(QStringLiteral("cmdAccion%1").arg(i));
        m_acciones[i]->setAutoDefault(false);
    }
    const int yBotones = marco->geometry().bottom() + px(150);
    const int anchoBoton = px(1300);
    const int altoBoton = std::max(px(375), m_acciones[0]->sizeHint().height());
    const int derecha = marco->geometry().right();
    m_acciones[1]->setGeometry(derecha - anchoBoton, yBotones, anchoBoton, altoBoton);
    m_acciones[0]->setGeometry(derecha - 2 * anchoBoton - px(120), yBotones, anchoBoton, altoBoton);
    setFixedSize(derecha + px(120), yBotones + altoBoton + px(150));

    if (m_ctx.utilidad) {
        FiltroTeclas::Opciones opciones;
        opciones.tipo = FiltroTeclas::Tipo::NumericoDecimal;
        opciones.caracteresExtra = QStringLiteral(" ");
        FiltroTeclas::instalar(m_desde, *m_ctx.utilidad, opciones);
        FiltroTeclas::instalar(m_hasta, *m_ctx.utilidad, opciones);
    }
    nombrarControl(m_total, QStringLiteral("Total de páginas"), QStringLiteral("txtTotPaginas"));
    nombrarControl(m_desde, etiquetaDesde->text(), QStringLiteral("txtPagDesde"));
    nombrarControl(m_hasta, etiquetaHasta->text(), QStringLiteral("txtPagHasta"));
    for (int i = 0; i < 2; ++i)
        nombrarControl(m_acciones[i], textos[i], QStringLiteral("cmdAccion(%1)").arg(i));
    setTabOrder(m_desde, m_hasta);
    setTabOrder(m_hasta, m_acciones[0]);
    setTabOrder(m_acciones[0], m_acciones[1]);

    connect(m_acciones[0], &QPushButton::clicked, this, &frmImpxPag::preliminar);
    connect(m_acciones[1], &QPushButton::clicked, this, &QDialog::close);

    abrirPrevia = [this, fabrica](const QString &archivo, int paginas, int desde, int hasta) {
        AbrePreview(m_ctx, archivo, QStringLiteral("Vprevia"), paginas, desde, hasta, this, fabrica);
    };
}

void frmImpxPag::cargar()
{
    m_total->setText(QString::number(nTotPaginas));
    m_desde->setText(QStringLiteral("1"));
    m_hasta->setText(QStringLiteral("1"));
    m_desde->setFocus();
    m_desde->selectAll();
}

void frmImpxPag::preliminar()
{
    const ValidacionRango v = validarRangoPaginas(m_desde->text(), m_hasta->text());
    if (!v.valido()) {
        m_ctx.mensajes->mostrar(windowTitle(), v.mensaje, Icono::Critico);
        return;
    }
    if (abrirPrevia)
        abrirPrevia(sNombreRep, nTotPaginas, v.desde, v.hasta);
}

} // namespace kv
