#include "basedatos.h"

#include "funcionessqlite.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace kv {

namespace {

// SQLite's primary result codes that mean "someone else has it" or "you may
// not write it".
constexpr int kSqlitePerm = 3;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadonly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADb = 26;

bool sinPermisoDeEscritura(const QString &ruta)
{
    const QFileInfo info(ruta);
    // No write bit at all counts as denied even for the superuser, as the
    // read-only attribute did; otherwise ask the system for this user.
    const auto bits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & bits) == 0 || !info.isWritable();
}

ErrorBD daniada(const QString &detalle)
{
    return {kErrorBaseDaniada,
            QStringLiteral("El archivo está dañado o no es una base de datos (%1).").arg(detalle)};
}

ErrorBD prepararConexion(QSqlDatabase &db)
{
    QSqlQuery q(db);
    // A quick read checks that this is a database and that nobody holds it
    // exclusively; the quick check, that its pages are all there and sound.
    // Only then is the journal mode switched to WAL, once for good: a
    // damaged file is never written to. The page caches hold a month of
    // 100,000 flights (the stored copy and the private working copy) instead
    // of SQLite's 2 MB, which would read them back from the files at every
    // pass; the room is taken only as pages are read.
    for (const char *sentencia : {"SELECT count(*) FROM sqlite_master", "PRAGMA quick_check(1)"}) {
        if (!q.exec(QString::fromLatin1(sentencia))) {
            const ErrorBD e = traducirError(q.lastError());
            return e.numero == kSqliteCorrupt || e.numero == kSqliteNotADb ? daniada(e.texto) : e;
        }
    }
    if (q.next() && q.value(0).toString() != u"ok")
        return daniada(q.value(0).toString());
    for (const char *sentencia :
         {"PRAGMA journal_mode=WAL", "PRAGMA cache_size=-32768", "PRAGMA temp.cache_size=-32768"}) {
        if (!q.exec(QString::fromLatin1(sentencia)))
            return traducirError(q.lastError());
    }
    return registrarFuncionesSqlite(db);
}

// PostgreSQL's conditions (SQLSTATE) that mean "someone else has it" or "you
// may not write it": lock not available, serialization failure, deadlock,
// statement cancelled by the lock wait, no privilege, read-only transaction,
// too many connections, and a server that refuses or cannot be reached.
bool esBloqueoPostgres(const QString &estado)
{
    static const QStringList bloqueos = {QStringLiteral("55P03"), QStringLiteral("40001"), QStringLiteral("40P01"),
                                          QStringLiteral("57014"), QStringLiteral("42501"), QStringLiteral("25006"),
                                          QStringLiteral("53300")};
    return bloqueos.contains(estado);
}

// The server's conditions that end the session: a connection exception
// (class 08), the server shutting down or the session ended by its
// administrator, a server starting up again.
bool esConexionPerdidaPostgres(const QString &estado)
{
    return estado.startsWith(u"08") || estado == u"57P01" || estado == u"57P02" || estado == u"57P03";
}

const QString kTextoConexionPerdida = QStringLiteral("Se perdió la conexión con el servidor de la base de datos");

// A statement that failed without the server's condition code: libpq found
// the connection closed under it. The code is missing in that case only.
bool algunaConexionPerdida()
{
    const QStringList nombres = QSqlDatabase::connectionNames();
    return std::any_of(nombres.cbegin(), nombres.cend(), [](const QString &n) { return BaseDatos::perdida(n); });
}

ErrorBD traducirErrorPostgres(const QSqlError &error)
{
    const QString estado = error.nativeErrorCode();
    QString texto = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    texto = texto.trimmed();
    if (esConexionPerdidaPostgres(estado))
        return {kErrorConexionPerdida, kTextoConexionPerdida + QStringLiteral(" (") + texto + u')'};
    if (esBloqueoPostgres(estado))
        return {kErrorBaseBloqueada, texto};
    if (estado == u"42P07") // duplicate relation: a table, or the index of a key
        return {texto.contains(QStringLiteral("pk_"), Qt::CaseInsensitive) ? kErrorIndiceExiste : kErrorTablaExiste,
                texto};
    // Any other condition is the engine's general error, as SQLite's is 1,
    // with the server's text and its condition code for whoever looks it up.
    return {1, texto + QStringLiteral(" (SQLSTATE ") + estado + u')'};
}

} // namespace

Motor motorDe(const QSqlDatabase &db)
{
    return db.driverName() == u"QPSQL" ? Motor::PostgreSQL : Motor::SQLite;
}

UbicacionBase UbicacionBase::desdeOpciones(const QString &motor, const QString &dbPath, const QString &dbName,
                                           bool *valida)
{
    UbicacionBase u;
    const QString m = motor.trimmed().toUpper();
    const bool conocido = m.isEmpty() || m == u"SQLITE" || m == u"PSQL";
    if (valida)
        *valida = conocido;
    if (m == u"PSQL") {
        u.motor = Motor::PostgreSQL;
        u.conexionPg = BaseDatos::sinContrasena(dbPath);
        u.nombrePg = dbName.trimmed();
    } else {
        u.ruta = dbPath + dbName;
    }
    return u;
}

QString UbicacionBase::descripcion() const
{
    return motor == Motor::SQLite ? ruta : nombrePg + QStringLiteral(" (") + conexionPg + u')';
}

namespace {

QSqlDatabase conexionPostgres(const UbicacionBase &u, const QString &conexion)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), conexion);
    db.setDatabaseName(u.nombrePg);
    // The connection text goes to libpq as it is written (host, port, user,
    // sslmode, service...); the lock wait is the same as the file's.
    QString opciones = u.conexionPg.trimmed();
    db.setConnectOptions(opciones);
    return db;
}

ErrorBD prepararPostgres(QSqlDatabase &db)
{
    QSqlQuery q(db);
    for (const QString &sentencia :
         {QStringLiteral("SET lock_timeout = %1").arg(BaseDatos::kEsperaMs), QStringLiteral("SET client_min_messages = warning")}) {
        if (!q.exec(sentencia))
            return traducirErrorPostgres(q.lastError());
    }
    return {};
}

} // namespace

ErrorBD traducirError(const QSqlError &error)
{
    // A statement on a connection the driver closed when it lost the server
    // fails with no error at all.
    if (error.type() == QSqlError::NoError)
        return algunaConexionPerdida() ? ErrorBD{kErrorConexionPerdida, kTextoConexionPerdida} : ErrorBD{};
    // SQLite's result codes have at most four digits; PostgreSQL's
    // conditions are five-character SQLSTATEs.
    if (error.nativeErrorCode().size() == 5)
        return traducirErrorPostgres(error);
    if (error.nativeErrorCode().isEmpty() && algunaConexionPerdida()) {
        const QString texto = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
        return {kErrorConexionPerdida, kTextoConexionPerdida + QStringLiteral(" (") + texto.trimmed() + u')'};
    }
    bool ok = false;
    int codigo = error.nativeErrorCode().toInt(&ok) & 0xff;
    const QString texto = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    if (!ok)
        codigo = 1;
    if (codigo == kSqliteBusy || codigo == kSqliteLocked || codigo == kSqlitePerm || codigo == kSqliteReadonly)
        return {kErrorBaseBloqueada, texto};
    if (texto.startsWith(u"table ") && texto.endsWith(u" already exists"))
        return {kErrorTablaExiste, texto};
    if (texto.startsWith(u"index ") && texto.endsWith(u" already exists"))
        return {kErrorIndiceExiste, texto};
    return {codigo, texto};
}

QString numeroConBlanco(long long numero)
{
    return numero >= 0 ? u' ' + QString::number(numero) : QString::number(numero);
}

ErrorBD BaseDatos::abrir(const UbicacionBase &ubicacion, const QString &conexion)
{
    if (ubicacion.motor == Motor::SQLite)
        return abrir(ubicacion.ruta, conexion);
    cerrar(conexion);
    QSqlDatabase db = conexionPostgres(ubicacion, conexion);
    if (!db.open()) {
        const QSqlError e = db.lastError();
        // A server that cannot be reached or refuses the user has no SQLSTATE.
        ErrorBD error = traducirError(e);
        if (e.nativeErrorCode().isEmpty())
            error = {kErrorBaseBloqueada, (e.databaseText().isEmpty() ? e.driverText() : e.databaseText()).trimmed()};
        return error;
    }
    ErrorBD error = prepararPostgres(db);
    if (error.hay())
        db.close();
    return error;
}

QString BaseDatos::sinContrasena(const QString &conexionPg)
{
    // libpq's key = value pairs; a value may be quoted with '...' and escape
    // quotes and backslashes with a backslash.
    QString salida;
    const QString &t = conexionPg;
    qsizetype i = 0;
    while (i < t.size()) {
        while (i < t.size() && t.at(i).isSpace())
            ++i;
        const qsizetype inicio = i;
        while (i < t.size() && t.at(i) != u'=' && !t.at(i).isSpace())
            ++i;
        const QString clave = t.mid(inicio, i - inicio);
        while (i < t.size() && t.at(i).isSpace())
            ++i;
        if (i < t.size() && t.at(i) == u'=') {
            ++i;
            while (i < t.size() && t.at(i).isSpace())
                ++i;
            if (i < t.size() && t.at(i) == u'\'') {
                ++i;
                while (i < t.size() && t.at(i) != u'\'') {
                    if (t.at(i) == u'\\' && i + 1 < t.size())
                        ++i;
                    ++i;
                }
                ++i;
            } else {
                while (i < t.size() && !t.at(i).isSpace())
                    ++i;
            }
        }
        if (clave.isEmpty() || clave.compare(u"password", Qt::CaseInsensitive) == 0)
            continue;
        if (!salida.isEmpty())
            salida += u' ';
        salida += t.mid(inicio, i - inicio).trimmed();
    }
    return salida;
}

ErrorBD BaseDatos::abrir(const QString &ruta, const QString &conexion)
{
    cerrar(conexion);
    if (QFileInfo::exists(ruta) && QFileInfo(ruta).isFile() && sinPermisoDeEscritura(ruta))
        return {kErrorBaseBloqueada, QStringLiteral("access denied")};

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
    // mode=rw: open an existing file for reading and writing, never create one.
    db.setDatabaseName(QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(ruta, "/"))
                       + QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kEsperaMs));
    // The journal files a reader of a WAL database makes, told apart from
    // ones that were there already (they may hold committed pages).
    const bool conWal = QFileInfo::exists(ruta + QStringLiteral("-wal"));
    const bool conShm = QFileInfo::exists(ruta + QStringLiteral("-shm"));
    if (!db.open())
        return traducirError(db.lastError());
    ErrorBD error = prepararConexion(db);
    if (error.hay())
        db.close();
    if (error.numero == kErrorBaseDaniada) {
        // Nothing is left behind beside a damaged file.
        if (!conWal && QFileInfo(ruta + QStringLiteral("-wal")).size() == 0)
            QFile::remove(ruta + QStringLiteral("-wal"));
        if (!conShm)
            QFile::remove(ruta + QStringLiteral("-shm"));
    }
    return error;
}

void BaseDatos::cerrar(const QString &conexion)
{
    if (!QSqlDatabase::contains(conexion))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(conexion, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
}

QSqlDatabase BaseDatos::base(const QString &conexion) { return QSqlDatabase::database(conexion, false); }

bool BaseDatos::perdida(const QString &conexion)
{
    // Qt's driver closes the connection when a statement finds the server
    // gone; a connection opened again on a server out of reach stays closed.
    const QSqlDatabase db = base(conexion);
    return db.isValid() && motorDe(db) == Motor::PostgreSQL && !db.isOpen();
}

ErrorBD BaseDatos::crear(const QString &ruta, const QString &conexion)
{
    cerrar(conexion);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
    db.setDatabaseName(ruta);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kEsperaMs));
    if (!db.open())
        return traducirError(db.lastError());
    return prepararConexion(db);
}

} // namespace kv
