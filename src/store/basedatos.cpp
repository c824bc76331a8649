#include "basedatos.h"

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

bool sinPermisoDeEscritura(const QString &ruta)
{
    const QFileInfo info(ruta);
    // No write bit at all counts as denied even for the superuser, as the
    // read-only attribute did; otherwise ask the system for this user.
    const auto bits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & bits) == 0 || !info.isWritable();
}

ErrorBD prepararConexion(QSqlDatabase &db)
{
    QSqlQuery q(db);
    // A quick read both checks that this is a database and that nobody holds
    // it exclusively; the journal mode is then switched to WAL once for good.
    for (const char *sentencia : {"SELECT count(*) FROM sqlite_master", "PRAGMA journal_mode=WAL"}) {
        if (!q.exec(QString::fromLatin1(sentencia)))
            return traducirError(q.lastError());
    }
    return {};
}

} // namespace

ErrorBD traducirError(const QSqlError &error)
{
    if (error.type() == QSqlError::NoError)
        return {};
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
    if (!db.open())
        return traducirError(db.lastError());
    ErrorBD error = prepararConexion(db);
    if (error.hay())
        db.close();
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
