#include "transaccion.h"

#include "basedatos.h"

#include <QSqlQuery>

namespace kv {

Transaccion::Transaccion(QSqlDatabase db, Modo modo) : m_db(std::move(db))
{
    QSqlQuery q(m_db);
    if (motorDe(m_db) == Motor::SQLite) {
        m_iniciada = q.exec(modo == Modo::Inmediata ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
        return;
    }
    m_iniciada = q.exec(QStringLiteral("BEGIN"));
    // The file's immediate transaction takes its one write lock at once; on
    // the server every such transaction takes the same advisory lock, held
    // to its end, so that two programs reading then writing (a report
    // number, a save) wait for each other there too.
    if (m_iniciada && modo == Modo::Inmediata && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kCerrojo)))
        deshacer();
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
