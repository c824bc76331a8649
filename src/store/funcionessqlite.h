#pragma once

#include "accesodatos.h"

#include <QSqlDatabase>

namespace kv {

// Two functions of the module's own on every SQLite connection the programs
// open, so that the database does row by row what would otherwise bring
// every row to the program:
//
// kv_codigo(nNumericos, tipos, valor, ...) is the record check code of a row
// whose columns, in table order and without the code's own column, are the
// values; `tipos` holds one letter per column (letraTipo). It answers what
// AccesoDatos::CodigoControl answers for the same row, so a whole working
// copy is written with its codes by one INSERT ... SELECT.
//
// kv_huella(valor, ...) is an aggregate: a fingerprint of the rows it is
// given, whatever their order (NULL for none). Two sets of rows that differ
// in any value of any column give different fingerprints.
ErrorBD registrarFuncionesSqlite(QSqlDatabase db);

char letraTipo(TipoColumna tipo);

// A statement prepared once on the connection's SQLite handle and run many
// times, its values bound by position straight into SQLite. Qt's binding
// gives every placeholder a name and looks it up at each value, which costs
// more than SQLite's own work for a row; an import of 100,000 lines binds
// 1.5 million values. A failure reads as the Qt driver reports it
// (traducirError of the same code and text).
class SentenciaSqlite
{
public:
    SentenciaSqlite(QSqlDatabase db, const QString &sql);
    ~SentenciaSqlite();
    SentenciaSqlite(const SentenciaSqlite &) = delete;
    SentenciaSqlite &operator=(const SentenciaSqlite &) = delete;

    bool preparada() const { return m_sentencia != nullptr; }
    const ErrorBD &error() const { return m_error; }

    // Positions count from 0, as QSqlQuery::bindValue's. A text is copied
    // into the statement's own buffer and stays there until the next run.
    void texto(int posicion, QStringView valor);
    void entero(int posicion, qint64 valor);
    // Runs the statement to its end; false with error() on failure. Every
    // value is bound anew for the next run (none stays bound).
    bool ejecutar();
    // The connection is no longer inside a transaction: a failure ended it.
    bool sinTransaccion() const;

    // A query read row by row: siguiente() moves to the next row (false at
    // the end, or on failure with error()), valor(c) is column c as the Qt
    // driver would give it (a whole number, a real, a text; a null text for
    // NULL). terminar() ends the reading so that the statement runs again.
    bool siguiente();
    QVariant valor(int columna) const;
    // valor(columna).toString() into `destino`, reusing its room.
    void textoEn(int columna, QString &destino) const;
    void terminar();

private:
    void *m_base = nullptr;       // sqlite3 *
    void *m_sentencia = nullptr;  // sqlite3_stmt *
    ErrorBD m_error;
    // The bound texts of one run, as UTF-8, end to end: SQLite reads them
    // where they are instead of copying each. Never grown while texts are
    // bound in it.
    QByteArray m_textos;
    qsizetype m_usado = 0;
};

} // namespace kv
