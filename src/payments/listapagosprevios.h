#pragma once

#include "store/accesodatos.h"

#include <QDate>
#include <QString>

namespace kv {

// The previous payments of the open declaration in its working copy
// TMPF517PAGPRE: the list's rows, their total in local currency (box 403 of
// the declaration) and the deletion of one of them.
class ListaPagosPrevios
{
public:
    explicit ListaPagosPrevios(AccesoDatos &datos);

    // The grid's columns in their order: voucher type, operation number,
    // date, soles, rate, dollars. Newest payment first; payments of one day
    // by voucher type and operation number, so the order never changes
    // between two readings.
    ConsultaSql consulta() const;

    // The sum of the payments in soles as plain text without separators,
    // "0" when there are none; exact whatever the number of rows. Empty,
    // with `error` set, when the working copy could not be read.
    QString TotalPagos(ErrorBD *error = nullptr) const;

    // Deletes the payment with that key; a failure has been reported and
    // leaves the row in place.
    bool EliminaPago(const QString &codBoleta, const QString &numOperacion, const QDate &fecPago);

private:
    AccesoDatos &m_datos;
};

} // namespace kv
