#include "grillavuelos.h"

#include "declaracion.h"
#include "flights/reglasimportacion.h"
#include "flights/tasavuelo.h"
#include "store/formato.h"

#include <QPainter>
#include <QSqlRecord>
#include <QStyleOptionHeader>
#include <QTableView>

namespace kv {

namespace {

constexpr int kLineasTitulo = 3;

// The width a heading needs to fit in three lines: never less than its
// longest word.
// A heading as it is wrapped: a unit in parentheses stays on the line of
// the word before it ("Impuesto ( $ )").
QString tituloParaAjustar(QString titulo)
{
    return titulo.replace(QStringLiteral(" ( $ )"), QStringLiteral("\u00A0(\u00A0$\u00A0)"));
}

int anchoTitulo(const QFontMetrics &medidas, const QString &tituloOriginal)
{
    const QString titulo = tituloParaAjustar(tituloOriginal);
    int minimo = 0;
    for (const QString &palabra : titulo.split(u' ', Qt::SkipEmptyParts))
        minimo = std::max(minimo, medidas.horizontalAdvance(palabra));
    int maximo = std::max(minimo, medidas.horizontalAdvance(titulo));
    const int alto = kLineasTitulo * medidas.lineSpacing();
    auto cabe = [&](int ancho) {
        return medidas.boundingRect(QRect(0, 0, ancho, 10000), Qt::TextWordWrap | Qt::AlignHCenter, titulo)
                   .height()
            <= alto;
    };
    while (minimo < maximo) {
        const int medio = (minimo + maximo) / 2;
        if (cabe(medio))
            maximo = medio;
        else
            minimo = medio + 1;
    }
    return maximo;
}

} // namespace

const QStringList &ModeloVuelos::titulos()
{
    // The flight file's captions, in the grid's order.
    const std::array<QString, kCamposVuelo> &c = titulosCampos();
    static const QStringList lista = {
        c[0],
        c[1],
        c[2],
        c[3],
        c[4],
        c[5],
        c[6],
        c[7],
        c[8],
        c[10],
        QStringLiteral("Cuantía del Impuesto ( $ )"),
        QStringLiteral("Total Pasajeros en el vuelo"),
        c[9],
    };
    return lista;
}

ErrorBD ModeloVuelos::cargar(QSqlDatabase db, const ConsultaSql &consulta)
{
    // Scrollable: the grid walks back and forth over the rows it has read.
    ErrorBD error;
    setQuery(ejecutarConsulta(db, consulta, &error, false));
    return error;
}

void ModeloVuelos::leerHasta(int fila)
{
    while (fila >= rowCount() && canFetchMore())
        fetchMore();
}

bool ModeloVuelos::coincide(const QString &buscado, const QString &codigo, const QDate &arribo)
{
    const QString texto = buscado.trimmed();
    if (texto.isEmpty())
        return false;
    return codigo.contains(texto, Qt::CaseInsensitive) || (arribo.isValid() && fechaCorta(arribo).startsWith(texto));
}

int ModeloVuelos::buscar(const QString &buscado, int desde)
{
    const auto coincideFila = [&](int fila) {
        const QSqlRecord r = record(fila);
        return coincide(buscado, r.value(QStringLiteral("cod_vuelo")).toString(),
                        fechaGuardada(r.value(QStringLiteral("fec_arribo"))));
    };
    desde = std::max(desde, 0);
    for (int fila = desde; fila < rowCount() || canFetchMore(); ++fila) {
        leerHasta(fila);
        if (fila < rowCount() && coincideFila(fila))
            return fila;
    }
    for (int fila = 0; fila < std::min(desde, rowCount()); ++fila) {
        if (coincideFila(fila))
            return fila;
    }
    return -1;
}

int ModeloVuelos::filaDeVuelo(const QDate &fecha, const QString &codigo)
{
    // Newest arrival first: the day's rows come together, and the search
    // ends at the first row of an earlier day.
    for (int fila = 0;; ++fila) {
        leerHasta(fila);
        if (fila >= rowCount())
            return -1;
        const QDate dia = fechaGuardada(QSqlQueryModel::data(index(fila, Declaracion::kFecArribo)));
        if (dia < fecha)
            return -1;
        if (dia == fecha
            && (codigo.isEmpty()
                || QSqlQueryModel::data(index(fila, Declaracion::kCodVuelo)).toString().trimmed() == codigo))
            return fila;
    }
}

QVariant ModeloVuelos::data(const QModelIndex &indice, int rol) const
{
    if (rol == Qt::TextAlignmentRole) {
        if (indice.column() == Declaracion::kCodVuelo)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (indice.column() == Declaracion::kFecArribo)
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    const QVariant valor = QSqlQueryModel::data(indice, rol);
    if (rol != Qt::DisplayRole)
        return valor;
    if (indice.column() == Declaracion::kFecArribo) {
        return fechaMostrada(valor);
    }
    if (indice.column() == Declaracion::kMtoDolar)
        return formato(valor.toString(), u"###,###,###,##0");
    return valor;
}

QVariant ModeloVuelos::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < titulos().size())
        return titulos().at(seccion);
    return QSqlQueryModel::headerData(seccion, orientacion, rol);
}

EncabezadoGrupos::EncabezadoGrupos(QList<Grupo> grupos, QWidget *padre) :
      QHeaderView(Qt::Horizontal, padre), m_grupos(std::move(grupos))
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

int EncabezadoGrupos::altoGrupo() const
{
    return fontMetrics().lineSpacing() + 8;
}

int EncabezadoGrupos::altoTitulos() const
{
    return kLineasTitulo * fontMetrics().lineSpacing() + 12;
}

QSize EncabezadoGrupos::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(altoGrupo() + altoTitulos());
    return s;
}

const EncabezadoGrupos::Grupo *EncabezadoGrupos::grupoDe(int seccion) const
{
    const int posicion = visualIndex(seccion);
    for (const Grupo &g : m_grupos) {
        if (posicion >= g.primera && posicion <= g.ultima)
            return &g;
    }
    return nullptr;
}

void EncabezadoGrupos::paintSection(QPainter *pintor, const QRect &rect, int seccion) const
{
    if (!rect.isValid())
        return;
    const int arriba = altoGrupo();

    // The group's caption is drawn across the whole group; each section
    // paints the slice above itself, so the caption stays centred however
    // the grid is scrolled.
    if (const Grupo *g = grupoDe(seccion)) {
        const int primera = logicalIndex(g->primera);
        const int ultima = logicalIndex(g->ultima);
        const int x0 = sectionViewportPosition(primera);
        const int x1 = sectionViewportPosition(ultima) + sectionSize(ultima);
        QStyleOptionHeader opcion;
        initStyleOption(&opcion);
        opcion.rect = QRect(x0, rect.top(), x1 - x0, arriba);
        opcion.section = seccion;
        opcion.position = QStyleOptionHeader::Middle;
        opcion.text = g->titulo;
        opcion.textAlignment = Qt::AlignCenter;
        pintor->save();
        pintor->setClipRect(QRect(rect.left(), rect.top(), rect.width(), arriba), Qt::IntersectClip);
        style()->drawControl(QStyle::CE_Header, &opcion, pintor, this);
        pintor->restore();
    }

    QStyleOptionHeader opcion;
    initStyleOptionForIndex(&opcion, seccion);
    opcion.rect = QRect(rect.left(), rect.top() + arriba, rect.width(), rect.height() - arriba);
    const QString titulo = model() ? model()->headerData(seccion, orientation()).toString() : QString();
    opcion.text.clear();
    pintor->save();
    style()->drawControl(QStyle::CE_Header, &opcion, pintor, this);
    pintor->restore();
    pintor->save();
    pintor->setPen(palette().color(QPalette::ButtonText));
    pintor->drawText(opcion.rect.adjusted(3, 2, -3, -2), Qt::AlignCenter | Qt::TextWordWrap,
                     tituloParaAjustar(titulo));
    pintor->restore();
}

QList<EncabezadoGrupos::Grupo> gruposVuelos()
{
    // The rate in force sits after the tax, inside the tax's group.
    return {
        {QStringLiteral("Vuelo"), Declaracion::kFecArribo, Declaracion::kCodVuelo},
        {QStringLiteral("Sujetos No Comprendidos"), Declaracion::kTripulantes, Declaracion::kDeport},
        {QStringLiteral("Impuesto"), Declaracion::kAfectos, Declaracion::kColumnasGrilla},
    };
}

QList<int> anchosColumnasVuelos(const QTableView *grilla)
{
    // The widest value each column usually takes: a date, a flight code,
    // counts of five digits, a tax in the millions.
    static const QStringList muestras = {
        QStringLiteral("00/00/0000"), QStringLiteral("AAA00000"),  QStringLiteral("00000"),
        QStringLiteral("00000"),      QStringLiteral("00000"),     QStringLiteral("00000"),
        QStringLiteral("00000"),      QStringLiteral("00000"),     QStringLiteral("00000"),
        QStringLiteral("00000"),      QStringLiteral("9,999,999"), QStringLiteral("000000"),
        QStringLiteral("00000"),
    };
    const QFontMetrics valores(grilla->font());
    const QFontMetrics titulos(grilla->horizontalHeader()->font());
    const int margen = 2 * grilla->style()->pixelMetric(QStyle::PM_HeaderMargin) + 16;
    QList<int> anchos;
    for (int c = 0; c < Declaracion::kColumnasGrilla; ++c) {
        anchos << std::max(anchoTitulo(titulos, ModeloVuelos::titulos().at(c)),
                           valores.horizontalAdvance(muestras.at(c)))
                + margen;
    }
    // The rate in force, last in the model: "15.00".
    anchos << std::max(anchoTitulo(titulos, ModeloTasaVuelos::kTitulo),
                       valores.horizontalAdvance(QStringLiteral("000.00")))
            + margen;
    return anchos;
}

} // namespace kv
