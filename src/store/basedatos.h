#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlError;

namespace kv {

// The numbers the programs' messages and decisions depend on. Any other
// failure keeps the engine's own code and text.
constexpr int kErrorBaseBloqueada = 3051; // locked by another program, or access denied
constexpr int kErrorTablaExiste = 3010;   // CREATE TABLE of a table that exists
constexpr int kErrorIndiceExiste = 3283;  // the primary key (index) exists already

struct ErrorBD
{
    int numero = 0;
    QString texto;

    bool hay() const { return numero != 0; }
};

ErrorBD traducirError(const QSqlError &error);

// A number as the old runtime's number-to-text conversion wrote it: a leading
// blank before a positive number (" 3051"), "-" before a negative one.
QString numeroConBlanco(long long numero);

// The shared database of one process ("dbBase"): the host's SQLite file,
// opened read-write, never created when missing, with WAL and a busy timeout
// since the host and the module's programs use it at the same time.
class BaseDatos
{
public:
    static constexpr const char *kConexion = "dbBase";
    static constexpr int kEsperaMs = 5000;

    // Opens `ruta` under the connection name. A missing file keeps the
    // engine's "cannot open" failure; a file without write permission, or one
    // that another program holds locked, gives 3051.
    static ErrorBD abrir(const QString &ruta, const QString &conexion = QString::fromLatin1(kConexion));
    static void cerrar(const QString &conexion = QString::fromLatin1(kConexion));
    static QSqlDatabase base(const QString &conexion = QString::fromLatin1(kConexion));

    // Creates an empty database file (the host's first start and the tests);
    // the module's programs never call it.
    static ErrorBD crear(const QString &ruta, const QString &conexion);
};

} // namespace kv
