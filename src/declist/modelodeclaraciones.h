#pragma once

#include "store/accesodatos.h"

#include <QIcon>
#include <QSqlQueryModel>

namespace kv {

// The grid of the declarations list: its eleven columns are bound to the
// query's fields by name, so the saved and the sent lists share one column
// layout whatever order their queries give. All rows are fetched at once.
class ModeloDeclaraciones : public QSqlQueryModel
{
    Q_OBJECT
public:
    enum Columna {
        kRuc = 0,
        kNombre = 1,
        kPeriodo = 2,
        kFormulario = 3,
        kEstado = 4,
        kNumOrden = 5,
        kFechaEnvio = 6,
        kControl = 7,
        kCorrel = 8,
        kRectifica = 9,
        kOrden = 10,
        kColumnas = 11
    };

    // The states a saved declaration is stored with.
    static constexpr int kEstadoConsistente = 0;
    static constexpr int kEstadoConInconsistencias = 9;

    explicit ModeloDeclaraciones(QObject *padre = nullptr);

    // Runs the query (bound values) and reads every row. False, with `error`
    // set, when the query fails; the grid is then empty.
    bool cargar(QSqlDatabase db, const ConsultaSql &consulta, ErrorBD *error = nullptr);

    // The stored value of a grid column, unformatted ("" when the list has
    // no such field).
    QString valor(int fila, int columna) const;

    int columnCount(const QModelIndex &padre = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &indice) const override;

    static QIcon iconoEstado(int estado);

private:
    int campo(int columna) const { return columna >= 0 && columna < kColumnas ? m_campos[columna] : -1; }

    int m_campos[kColumnas];
};

} // namespace kv
