#include "transaccion.h"

#include <QSqlQuery>

namespace kv {

Transaccion::Transaccion(QSqlDatabase db, Modo modo) : m_db(std::move(db))
{
    QSqlQuery q(m_db);
    m_iniciada = q.exec(modo == Modo::Inmediata ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

Transaccion::~Transaccion() { deshacer(); }

bool Transaccion::confirmar()
{
    if (!m_iniciada)
        return false;
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("COMMIT")))
        return false;
    m_iniciada = false;
    return true;
}

void Transaccion::deshacer()
{
    if (!m_iniciada)
        return;
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
    m_iniciada = false;
}

} // namespace kv
