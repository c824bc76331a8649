#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kv {

// Copies of the host's database file, taken with SQLite's online backup, so
// that a copy is consistent even while the module holds the database open
// and writes to it. They live in backups/ in the system folder, named by the
// moment they were taken ("qadelia-20261207-103015.db"); only the newest
// kMaximo are kept. Restoring writes a copy back into the live database
// through the same backup, after keeping the current state as one more copy.
class CopiasSeguridad
{
public:
    static constexpr int kMaximo = 10;
    static constexpr const char *kCarpeta = "backups";

    // `rutaBase`: the database file; `carpetaSistema` ends in "/".
    CopiasSeguridad(QString rutaBase, const QString &carpetaSistema);

    QString carpeta() const { return m_carpeta; }

    // Takes a copy named by `momento` (a second copy in the same second gets
    // a suffix) and removes the oldest beyond kMaximo. Returns the copy's
    // path, or an empty text with `error` saying why.
    QString copiar(const QDateTime &momento, QString *error = nullptr);

    // The copies, newest first (file names).
    QStringList copias() const;

    // Writes the copy `nombre` (a file name from copias()) back into the
    // database, after taking a copy of the current state. False, with
    // `error`, when the copy is not a database or could not be written; the
    // database is then as it was.
    bool restaurar(const QString &nombre, const QDateTime &momento, QString *error = nullptr);

    // Puts the copy `nombre` in place of a database file that cannot be
    // read (cut short, overwritten): such a file cannot be copied, so it is
    // kept aside, with its journal files, as "<file>.dañada-<moment>"
    // (`apartada`). The copy is written beside the database first and then
    // swapped in; on a failure, told in `error`, the damaged file stays
    // where it was.
    bool reponerDaniada(const QString &nombre, const QDateTime &momento, QString *apartada = nullptr,
                        QString *error = nullptr);

    // Copies `origen` into `destino` page by page with the online backup:
    // both are SQLite files; `destino` is created when missing.
    static bool copiarBase(const QString &origen, const QString &destino, QString *error);

private:
    QString tomarCopia(const QDateTime &momento, QString *error);
    void podar();

    QString m_rutaBase;
    QString m_carpeta;
};

} // namespace kv
