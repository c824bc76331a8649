#include "modelopagosprevios.h"

#include "store/formato.h"
#include "store/ui/listas.h"

namespace kv {

ModeloPagosPrevios::ModeloPagosPrevios(QObject *padre) : QSqlQueryModel(padre) {}

bool ModeloPagosPrevios::cargar(QSqlDatabase db, const ConsultaSql &consulta, ErrorBD *error)
{
    const ErrorBD fallo = cargarModelo(this, db, consulta);
    if (error)
        *error = fallo;
    if (fallo.hay())
        clear();
    return !fallo.hay();
}

QString ModeloPagosPrevios::valor(int fila, int columna) const
{
    if (fila < 0 || fila >= rowCount() || columna < 0 || columna >= kColumnas)
        return {};
    return QSqlQueryModel::data(QSqlQueryModel::index(fila, columna), Qt::DisplayRole).toString();
}

QDate ModeloPagosPrevios::fecha(int fila) const
{
    return fechaGuardada(valor(fila, kFecPago));
}

QString ModeloPagosPrevios::importeMostrado(const QString &texto)
{
    return formato(QStringView(texto), u"###,###,###,##0");
}

QVariantMap ModeloPagosPrevios::registro(int fila) const
{
    return {{QStringLiteral("cod_boleta"), valor(fila, kCodBoleta)},
            {QStringLiteral("num_operacion"), valor(fila, kNumOperacion)},
            {QStringLiteral("fec_pago"), fecha(fila)},
            {QStringLiteral("tip_cambio"), valor(fila, kTipCambio)},
            {QStringLiteral("mto_dolar"), importeMostrado(valor(fila, kMtoDolar))},
            {QStringLiteral("mto_soles"), importeMostrado(valor(fila, kMtoSoles))}};
}

int ModeloPagosPrevios::buscar(const QString &codBoleta, const QString &numOperacion, const QDate &fecPago) const
{
    for (int f = 0; f < rowCount(); ++f) {
        if (valor(f, kCodBoleta) == codBoleta && valor(f, kNumOperacion) == numOperacion && fecha(f) == fecPago)
            return f;
    }
    return -1;
}

QVariant ModeloPagosPrevios::data(const QModelIndex &indice, int rol) const
{
    if (!indice.isValid() || indice.model() != this)
        return {};
    const int columna = indice.column();
    switch (rol) {
    case Qt::DisplayRole:
        if (columna == kFecPago) {
            const QDate f = fecha(indice.row());
            return f.isValid() ? fechaCorta(f) : valor(indice.row(), columna);
        }
        if (columna == kMtoSoles || columna == kMtoDolar)
            return importeMostrado(valor(indice.row(), columna));
        return valor(indice.row(), columna);
    case Qt::TextAlignmentRole:
        if (columna == kMtoSoles || columna == kTipCambio || columna == kMtoDolar)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ModeloPagosPrevios::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    static const char *const titulos[kColumnas] = {"Formulario",           "Num. Orden / Operación",
                                                   "Fecha de Pago",        "Monto Nuevos Soles ( S/. )",
                                                   "Tipo de Cambio Venta", "Monto Dólares ( US$ )"};
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < kColumnas)
        return QString::fromUtf8(titulos[seccion]);
    return QSqlQueryModel::headerData(seccion, orientacion, rol);
}

Qt::ItemFlags ModeloPagosPrevios::flags(const QModelIndex &indice) const
{
    return indice.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace kv
