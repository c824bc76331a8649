#include "dialecto.h"

#include <QStringList>

namespace kv {

QString dialecto::entero(Motor motor, const QString &columna)
{
    // SQLite's CAST reads the leading whole number after any white space,
    // and an empty or blank text as 0.
    if (motor == Motor::SQLite)
        return QStringLiteral("COALESCE(CAST(%1 AS INTEGER),0)").arg(columna);
    return QStringLiteral("(CASE WHEN trim(%1) ~ '^[+-]?[0-9]+([.][0-9]*)?$' "
                          "THEN CAST(trunc(CAST(trim(%1) AS numeric)) AS bigint) ELSE 0 END)")
        .arg(columna);
}

QString dialecto::arregloPostgres(const QStringList &textos)
{
    QString r;
    r.reserve(textos.size() * 8 + 2);
    r += u'{';
    for (qsizetype i = 0; i < textos.size(); ++i) {
        if (i > 0)
            r += u',';
        const QString &t = textos.at(i);
        if (t.isNull()) {
            r += QStringLiteral("NULL");
            continue;
        }
        r += u'"';
        for (const QChar c : t) {
            if (c == u'"' || c == u'\\')
                r += u'\\';
            r += c;
        }
        r += u'"';
    }
    r += u'}';
    return r;
}

SentenciaRepetida::SentenciaRepetida(QSqlDatabase db, QString sql) : m_q(db), m_sql(std::move(sql))
{
    if (motorDe(db) == Motor::SQLite)
        m_preparada = m_q.prepare(m_sql);
}

bool SentenciaRepetida::exec() { return m_preparada ? m_q.exec() : m_q.exec(m_sql); }

} // namespace kv
