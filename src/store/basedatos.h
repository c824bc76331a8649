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
constexpr int kErrorBaseDaniada = 3049;   // the file is no database, or a damaged one
constexpr int kErrorConexionPerdida = 3146; // the server went away (restarted, stopped, cut off)

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

// The two engines the host's database may live in: the embedded SQLite
// file (the default) or an office's PostgreSQL server.
enum class Motor { SQLite, PostgreSQL };

Motor motorDe(const QSqlDatabase &db);

// Where the host's database is, as KV000.INI says: section "Options", key
// DBEngine absent or "SQLITE" for the file DBPath + DBName; "PSQL" for the
// PostgreSQL database DBName reached with the libpq connection text DBPath
// ("host=db.local port=5432 user=agente"). Passwords are never read from
// KV000.INI: libpq takes them from ~/.pgpass, PGPASSFILE or a service file.
struct UbicacionBase
{
    Motor motor = Motor::SQLite;
    QString ruta;       // SQLite: the file
    QString conexionPg; // PostgreSQL: the connection text, without any password
    QString nombrePg;   // PostgreSQL: the database name

    // A value of DBEngine that names neither engine gives `valida` false.
    static UbicacionBase desdeOpciones(const QString &motor, const QString &dbPath, const QString &dbName,
                                       bool *valida = nullptr);
    bool vacia() const { return motor == Motor::SQLite ? ruta.trimmed().isEmpty() : nombrePg.trimmed().isEmpty(); }
    // For messages: the file, or "name (connection text)".
    QString descripcion() const;
};

// The shared database of one process ("dbBase"): the host's SQLite file,
// opened read-write, never created when missing, with WAL and a busy timeout
// since the host and the module's programs use it at the same time; or a
// PostgreSQL database with the same wait for a lock.
class BaseDatos
{
public:
    static constexpr const char *kConexion = "dbBase";
    static constexpr int kEsperaMs = 5000;

    // Opens the database wherever it lives; a PostgreSQL database must exist
    // (the office's administrator creates it, empty).
    static ErrorBD abrir(const UbicacionBase &ubicacion, const QString &conexion = QString::fromLatin1(kConexion));

    // Opens `ruta` under the connection name. A missing file keeps the
    // engine's "cannot open" failure; a file without write permission, or one
    // that another program holds locked, gives 3051; a file that is no
    // database, or whose pages are damaged (cut short, overwritten), gives
    // 3049 and is left exactly as it was, with no journal files beside it.
    static ErrorBD abrir(const QString &ruta, const QString &conexion = QString::fromLatin1(kConexion));
    static void cerrar(const QString &conexion = QString::fromLatin1(kConexion));
    static QSqlDatabase base(const QString &conexion = QString::fromLatin1(kConexion));

    // True when the connection to a PostgreSQL server is known to be broken:
    // a statement found the server gone (restarted, stopped, or the session
    // ended by its administrator), or opening it again failed. Nothing is
    // asked of the server; a file is never lost. What the session held (its temporary tables, an open
    // transaction) went with it: only abrir again brings the database back.
    static bool perdida(const QString &conexion = QString::fromLatin1(kConexion));

    // Creates an empty database file (the host's first start and the tests);
    // the module's programs never call it.
    static ErrorBD crear(const QString &ruta, const QString &conexion);

    // The connection text with any password removed, as it may be shown or
    // passed on.
    static QString sinContrasena(const QString &conexionPg);
};

} // namespace kv
