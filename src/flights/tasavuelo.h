#pragma once

#include "store/tablatasas.h"

#include <QIdentityProxyModel>
#include <QVariant>

namespace kv {

// The per-passenger rate used for a flight: the rate in force on its arrival
// date (the stored fec_arribo, ISO text or a date) as the grid shows it,
// "15.00"; "0.00" when no rate was in force.
QString tasaDeVuelo(const TablaTasas &tasas, const QVariant &fecArribo);

// A flight grid's model with one more column, last, that shows each flight's
// rate in force, so that a taxpayer sees why one flight's tax differs from
// another's. The source's columns keep their numbers; a view that wants the
// rate beside the tax moves the section there.
class ModeloTasaVuelos : public QIdentityProxyModel
{
    Q_OBJECT
public:
    static const QString kTitulo; // "Tasa Vigente ( $ )"

    ModeloTasaVuelos(TablaTasas tasas, int columnaFecha, QObject *padre = nullptr);

    int columnaTasa() const;

    int columnCount(const QModelIndex &padre = QModelIndex()) const override;
    QModelIndex index(int fila, int columna, const QModelIndex &padre = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &hijo) const override;
    QModelIndex sibling(int fila, int columna, const QModelIndex &indice) const override;
    QModelIndex mapToSource(const QModelIndex &indice) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &indice) const override;

private:
    TablaTasas m_tasas;
    int m_columnaFecha;
};

} // namespace kv
