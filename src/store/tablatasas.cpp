#include "tablatasas.h"

#include "accesodatos.h"

namespace kv {

TablaTasas::TablaTasas(const AccesoDatos &datos)
{
    QSqlQuery q = datos.consultar(QStringLiteral("SELECT Argumento, substr(Funcion,1,7) AS NOVARA FROM PARAM "
                                                 "WHERE Numero='966' ORDER BY Argumento DESC"));
    while (q.next())
        m_filas.append(Fila{q.value(0).toString().trimmed(), q.value(1).toString()});
}

QString TablaTasas::vigente(const QString &fecha) const
{
    for (const Fila &f : m_filas) {
        if (f.fechaRecortada <= fecha)
            return f.tasa;
    }
    return QStringLiteral("0");
}

} // namespace kv
