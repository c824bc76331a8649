#include "tasavuelo.h"

#include "store/formato.h"

#include <QDate>

namespace kv {

QString tasaDeVuelo(const TablaTasas &tasas, const QVariant &fecArribo)
{
    const QDate fecha = fechaGuardada(fecArribo);
    const QString tasa = fecha.isValid() ? tasas.vigente(formato(fecha, u"yyyymmdd")) : QStringLiteral("0");
    return formato(QStringView(tasa), u"##0.00");
}

const QString ModeloTasaVuelos::kTitulo = QStringLiteral("Tasa Vigente ( $ )");

ModeloTasaVuelos::ModeloTasaVuelos(TablaTasas tasas, int columnaFecha, QObject *padre)
    : QIdentityProxyModel(padre)
    , m_tasas(std::move(tasas))
    , m_columnaFecha(columnaFecha)
{
}

int ModeloTasaVuelos::columnaTasa() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

int ModeloTasaVuelos::columnCount(const QModelIndex &padre) const
{
    // No columns until the source has some (a query not yet run).
    return padre.isValid() || columnaTasa() == 0 ? 0 : columnaTasa() + 1;
}

QModelIndex ModeloTasaVuelos::index(int fila, int columna, const QModelIndex &padre) const
{
    if (columna == columnaTasa() && !padre.isValid())
        return fila >= 0 && fila < rowCount() ? createIndex(fila, columna) : QModelIndex();
    return QIdentityProxyModel::index(fila, columna, padre);
}

QModelIndex ModeloTasaVuelos::parent(const QModelIndex &hijo) const
{
    if (hijo.isValid() && hijo.column() == columnaTasa())
        return {};
    return QIdentityProxyModel::parent(hijo);
}

QModelIndex ModeloTasaVuelos::sibling(int fila, int columna, const QModelIndex &indice) const
{
    return indice.isValid() ? index(fila, columna) : QModelIndex();
}

QModelIndex ModeloTasaVuelos::mapToSource(const QModelIndex &indice) const
{
    if (indice.isValid() && indice.column() == columnaTasa())
        return {};
    return QIdentityProxyModel::mapToSource(indice);
}

QVariant ModeloTasaVuelos::data(const QModelIndex &indice, int rol) const
{
    if (!indice.isValid() || indice.column() != columnaTasa())
        return QIdentityProxyModel::data(indice, rol);
    if (rol == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (rol != Qt::DisplayRole)
        return {};
    // The stored date: a grid may show it in another form.
    return tasaDeVuelo(m_tasas, sourceModel()->index(indice.row(), m_columnaFecha).data(Qt::EditRole));
}

QVariant ModeloTasaVuelos::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && seccion == columnaTasa())
        return rol == Qt::DisplayRole ? QVariant(kTitulo) : QVariant();
    return QIdentityProxyModel::headerData(seccion, orientacion, rol);
}

Qt::ItemFlags ModeloTasaVuelos::flags(const QModelIndex &indice) const
{
    if (indice.isValid() && indice.column() == columnaTasa())
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QIdentityProxyModel::flags(indice);
}

} // namespace kv
