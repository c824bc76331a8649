#pragma once

#include "basedatos.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace kv {

struct Columna
{
    QString nombre;
    QString tipo; // declared type as the tables were always declared: "Byte", "Text(15)", "Date"
    QString predeterminado; // empty, or the DEFAULT value
};

struct Tabla
{
    QString nombre;
    QList<Columna> columnas; // in table order: the record check code depends on it
    QStringList clave;       // primary key columns, an index named PK_<table>

    QString sentenciaCrear(Motor motor = Motor::SQLite) const; // CREATE TABLE
    QString sentenciaClave(Motor motor = Motor::SQLite) const; // the unique index PK_<table>
    // After CREATE TABLE on a PostgreSQL server: each column's name and
    // declared type kept as its comment, where columnasDeclaradas reads them
    // back (the server has no "Byte" or "Date" of its own). None on SQLite.
    QStringList sentenciasComentario(Motor motor) const;
    QStringList nombresColumnas() const;
};

// The module's six tables (flights and previous payments, each as working
// copy, permanent and history table), in the order the installer creates
// them: F517DETVP, HF517DETVP, F517PAGPRE, HF517PAGPRE, TMPF517DETVP,
// TMPF517PAGPRE.
const QList<Tabla> &tablasModulo();
const Tabla *tablaModulo(const QString &nombre);

// The declaration's working copy (TMPF517DETVP, TMPF517PAGPRE) made private to
// one connection: temporary tables of the same name and columns, which every
// statement of that connection reaches instead of the shared ones, so that
// two people editing two declarations at once never empty each other's
// flights. The shared tables stay (the host and older programs know them).
// Made once per connection, by the declaration program when it opens the
// database; a second call finds them and does nothing.
ErrorBD crearCopiasDeTrabajoPrivadas(QSqlDatabase db);

// The host's tables as far as the programs use them: CAB, HCAB, DET, HDET,
// CONT, PARAM, CLAVES, ERROR, SPOOL, Reportes, envio_t. The module's programs
// never create these; the host does on its first start, and the tests do.
const QList<Tabla> &tablasIntegrador();
ErrorBD crearTablas(QSqlDatabase db, const QList<Tabla> &tablas);

// The column type an engine is given for a declared type. SQLite keeps the
// declared type as it is written. On PostgreSQL a Byte is a smallint, Integer
// and Long are integers, Text(n) is varchar(n), and a Date is ISO text, as it
// is in the file ("YYYY-MM-DD", date-times "YYYY-MM-DD HH:MM:SS"), so that
// the same statements and comparisons serve both engines.
QString tipoSegunMotor(const QString &declarado, Motor motor);

// Declared column types of a table as the database holds it, in table order
// (empty when the table does not exist).
QList<Columna> columnasDeclaradas(QSqlDatabase db, const QString &tabla);
bool existeTabla(QSqlDatabase db, const QString &tabla); // without regard to case

} // namespace kv
