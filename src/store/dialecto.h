#pragma once

#include "basedatos.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>

namespace kv {

// The few places where the SQL of the two engines differs. Everything else
// the programs run is written once, in what both engines accept.
namespace dialecto {

// A count or an amount kept as text, read as a whole number inside a
// statement: a blank or missing value is 0, a fraction is cut ("12.7" is
// 12), as SQLite's CAST reads it; PostgreSQL's CAST refuses such texts, so
// there the text is tested first and anything that is not a number is 0.
QString entero(Motor motor, const QString &columna);

// Texts as one PostgreSQL array value ({"a","b",NULL}: a null text is
// NULL), bound as one value: a block of rows goes to a server as one array
// per column and unnest() makes them rows again, so that the server parses
// a short statement instead of thousands of values.
QString arregloPostgres(const QStringList &textos);

} // namespace dialecto

// A statement without values that runs many times (a savepoint and its
// release, inside a loop). SQLite prepares it once; a PostgreSQL server
// prepares only queries and plain writes, so there it is sent as text each
// time.
class SentenciaRepetida
{
public:
    SentenciaRepetida(QSqlDatabase db, QString sql);

    bool exec();
    QSqlError lastError() const { return m_q.lastError(); }

private:
    QSqlQuery m_q;
    QString m_sql;
    bool m_preparada = false;
};

} // namespace kv
