#pragma once

// A declaration open on a throw-away database, for the flight tests: its
// key in the context and the rows of its working copy.
#include "flights/detallevuelo.h"
#include "support/basedeprueba.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kv::prueba {

inline const QString kRucVuelos = QStringLiteral("20100000001");

inline void abrirDeclaracion(BaseDePrueba &base, const QString &periodo)
{
    base.contexto().sRuc = kRucVuelos;
    base.contexto().sPeriodo = periodo;
}

// A flight as typed: counts of 1 but crew 12 and 100 passengers subject to
// the tax, unless told otherwise.
inline DatosVuelo vueloTecleado(
    const QString &fecha, const QString &codigo, const QStringList &cantidades = {})
{
    DatosVuelo v;
    v.fecha = fecha;
    v.codigo = codigo;
    v.cantidades.fill(QStringLiteral("1"));
    v.cantidades[DatosVuelo::kTripulantes] = QStringLiteral("12");
    v.cantidades[DatosVuelo::kAfectos] = QStringLiteral("100");
    for (int i = 0; i < cantidades.size(); ++i)
        v.cantidades.at(std::size_t(i)) = cantidades.at(i);
    return v;
}

// The stored row of a flight, by column name, as the declaration's grid hands
// it to the flight window (the date as a date).
inline QVariantMap filaGuardada(BaseDePrueba &base, const QString &codigo)
{
    QSqlQuery q(base.db());
    q.prepare(QStringLiteral("SELECT * FROM TMPF517DETVP WHERE cod_vuelo=?"));
    q.addBindValue(codigo);
    QVariantMap fila;
    if (q.exec() && q.next()) {
        for (int i = 0; i < q.record().count(); ++i)
            fila.insert(q.record().fieldName(i), q.value(i));
        fila.insert(QStringLiteral("fec_arribo"),
            QDate::fromString(q.value(QStringLiteral("fec_arribo")).toString(), Qt::ISODate));
    }
    return fila;
}

} // namespace kv::prueba
