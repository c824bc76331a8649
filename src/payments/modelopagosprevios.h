#pragma once

#include "store/accesodatos.h"

#include <QDate>
#include <QSqlQueryModel>
#include <QVariantMap>

namespace kv {

// The grid of the payments list: the six columns of the list's query, the
// date as dd/mm/yyyy and the two amounts with group separators.
class ModeloPagosPrevios : public QSqlQueryModel
{
    Q_OBJECT
public:
    enum Columna { kCodBoleta, kNumOperacion, kFecPago, kMtoSoles, kTipCambio, kMtoDolar, kColumnas };

    explicit ModeloPagosPrevios(QObject *padre = nullptr);

    // Runs the query and reads every row; false, with `error` set, when it
    // fails (the grid is then empty).
    bool cargar(QSqlDatabase db, const ConsultaSql &consulta, ErrorBD *error = nullptr);

    QString valor(int fila, int columna) const; // as stored
    QDate fecha(int fila) const;

    // What the entry window reads of a row it changes: the key and the rate
    // as stored, the date as a date, the amounts as the grid shows them.
    QVariantMap registro(int fila) const;

    // The row of the payment with that key, -1 when it is not listed.
    int buscar(const QString &codBoleta, const QString &numOperacion, const QDate &fecPago) const;

    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &indice) const override;

    static QString importeMostrado(const QString &texto);
};

} // namespace kv
