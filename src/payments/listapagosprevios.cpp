#include "listapagosprevios.h"

#include "pagoprevio.h"
#include "store/decimal.h"
#include "store/numeros.h"

#include <QSqlQuery>

namespace kv {

ListaPagosPrevios::ListaPagosPrevios(AccesoDatos &datos) : m_datos(datos) {}

ConsultaSql ListaPagosPrevios::consulta() const
{
    // Only the open declaration's rows: the list, its total and a deletion
    // always speak of the same payments.
    ConsultaSql c = filtroDeclaracion(m_datos.contexto());
    c.sql = QStringLiteral("SELECT cod_boleta, num_operacion, fec_pago, mto_soles, tip_cambio, mto_dolar "
                           "FROM TMPF517PAGPRE")
        + c.sql + QStringLiteral(" ORDER BY fec_pago DESC, cod_boleta, num_operacion");
    return c;
}

QString ListaPagosPrevios::TotalPagos(ErrorBD *error) const
{
    // Added here rather than by the engine, which may turn a long column of
    // amounts into a binary fraction.
    ConsultaSql c = filtroDeclaracion(m_datos.contexto());
    c.sql = QStringLiteral("SELECT mto_soles FROM TMPF517PAGPRE") + c.sql;
    ErrorBD fallo;
    QSqlQuery q = m_datos.consultar(c, &fallo);
    if (error)
        *error = fallo;
    if (fallo.hay())
        return {};
    Decimal total;
    while (q.next())
        total += convertirNumero(q.value(0).toString()).value_or(Decimal());
    return total.texto();
}

bool ListaPagosPrevios::EliminaPago(const QString &codBoleta, const QString &numOperacion, const QDate &fecPago)
{
    ConsultaSql c = filtroDeclaracion(m_datos.contexto());
    c.sql = QStringLiteral("DELETE FROM TMPF517PAGPRE") + c.sql
        + QStringLiteral(" AND cod_boleta=? AND num_operacion=? AND fec_pago=?");
    c.valores << codBoleta << numOperacion << fecPago.toString(Qt::ISODate);
    return m_datos.EjecutarSQL(c.sql, c.valores);
}

} // namespace kv
