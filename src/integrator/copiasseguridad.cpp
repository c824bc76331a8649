#include "copiasseguridad.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace kv {

namespace {

constexpr const char *kPrefijo = "qadelia-";
constexpr const char *kExtension = ".db";
constexpr int kEsperaMs = 5000;

QString mensajeDe(sqlite3 *db, int codigo)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(codigo));
}

// One open SQLite handle, closed on every way out.
struct Manejador
{
    sqlite3 *db = nullptr;
    ~Manejador() { sqlite3_close_v2(db); }
};

} // namespace

CopiasSeguridad::CopiasSeguridad(QString rutaBase, const QString &carpetaSistema)
    : m_rutaBase(std::move(rutaBase)), m_carpeta(carpetaSistema + QString::fromLatin1(kCarpeta))
{
}

bool CopiasSeguridad::copiarBase(const QString &origen, const QString &destino, QString *error)
{
    auto falla = [error](const QString &texto) {
        if (error)
            *error = texto;
        return false;
    };
    Manejador o, d;
    int rc = sqlite3_open_v2(QFile::encodeName(origen).constData(), &o.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        return falla(mensajeDe(o.db, rc));
    sqlite3_busy_timeout(o.db, kEsperaMs);
    // A file that is not a database fails here, before anything is written.
    rc = sqlite3_exec(o.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return falla(mensajeDe(o.db, rc));
    rc = sqlite3_open_v2(QFile::encodeName(destino).constData(), &d.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                         nullptr);
    if (rc != SQLITE_OK)
        return falla(mensajeDe(d.db, rc));
    sqlite3_busy_timeout(d.db, kEsperaMs);
    sqlite3_backup *copia = sqlite3_backup_init(d.db, "main", o.db, "main");
    if (!copia)
        return falla(mensajeDe(d.db, sqlite3_errcode(d.db)));
    // All pages in one step: the source is read in one transaction, so the
    // copy is the database as one moment left it, whatever other programs
    // write meanwhile. A busy source is waited for by the busy timeout.
    do {
        rc = sqlite3_backup_step(copia, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(100);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(copia);
    if (rc != SQLITE_DONE)
        return falla(mensajeDe(d.db, rc));
    return true;
}

QString CopiasSeguridad::copiar(const QDateTime &momento, QString *error)
{
    const QString ruta = tomarCopia(momento, error);
    if (!ruta.isEmpty())
        podar();
    return ruta;
}

QString CopiasSeguridad::tomarCopia(const QDateTime &momento, QString *error)
{
    if (!QDir().mkpath(m_carpeta)) {
        if (error)
            *error = QStringLiteral("no se pudo crear la carpeta %1").arg(m_carpeta);
        return {};
    }
    const QString base = m_carpeta + u'/' + QString::fromLatin1(kPrefijo)
        + momento.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString ruta = base + QString::fromLatin1(kExtension);
    for (int n = 2; QFileInfo::exists(ruta); ++n)
        ruta = base + QStringLiteral("-%1").arg(n) + QString::fromLatin1(kExtension);
    if (!copiarBase(m_rutaBase, ruta, error)) {
        QFile::remove(ruta);
        return {};
    }
    return ruta;
}

QStringList CopiasSeguridad::copias() const
{
    // Names carry the moment, so their order is the order in time.
    QStringList nombres = QDir(m_carpeta).entryList(
        {QString::fromLatin1(kPrefijo) + u'*' + QString::fromLatin1(kExtension)}, QDir::Files, QDir::Name);
    std::reverse(nombres.begin(), nombres.end());
    return nombres;
}

bool CopiasSeguridad::reponerDaniada(const QString &nombre, const QDateTime &momento, QString *apartada,
                                     QString *error)
{
    auto falla = [error](const QString &texto) {
        if (error)
            *error = texto;
        return false;
    };
    const QString origen = m_carpeta + u'/' + QFileInfo(nombre).fileName();
    if (!QFileInfo(origen).isFile())
        return falla(QStringLiteral("no existe la copia %1").arg(origen));
    const QString nueva = m_rutaBase + QStringLiteral(".restaurando");
    QFile::remove(nueva);
    if (!copiarBase(origen, nueva, error)) {
        QFile::remove(nueva);
        return false;
    }
    const QString aparte = m_rutaBase + QStringLiteral(".dañada-") + momento.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &sufijo : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString archivo = m_rutaBase + sufijo;
        if (QFileInfo::exists(archivo) && !QFile::rename(archivo, aparte + sufijo)) {
            QFile::remove(nueva);
            return falla(QStringLiteral("no se pudo apartar %1").arg(archivo));
        }
    }
    if (!QFile::rename(nueva, m_rutaBase))
        return falla(QStringLiteral("no se pudo poner la copia en %1").arg(m_rutaBase));
    if (apartada)
        *apartada = aparte;
    return true;
}

void CopiasSeguridad::podar()
{
    const QStringList nombres = copias();
    for (qsizetype i = kMaximo; i < nombres.size(); ++i)
        QFile::remove(m_carpeta + u'/' + nombres.at(i));
}

bool CopiasSeguridad::restaurar(const QString &nombre, const QDateTime &momento, QString *error)
{
    const QString origen = m_carpeta + u'/' + QFileInfo(nombre).fileName();
    if (!QFileInfo(origen).isFile()) {
        if (error)
            *error = QStringLiteral("no existe la copia %1").arg(origen);
        return false;
    }
    // The state being replaced is kept first; the oldest copies are pruned
    // only once the chosen one has been written back.
    if (tomarCopia(momento, error).isEmpty())
        return false;
    const bool hecho = copiarBase(origen, m_rutaBase, error);
    podar();
    return hecho;
}

} // namespace kv
