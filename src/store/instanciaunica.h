#pragma once

#include <QString>

namespace kv {

// One copy of a program per user session: a lock on a file in the user's
// runtime folder, held until the process ends. The system releases it when
// the process dies, however it dies, so a crash never blocks the next start.
class InstanciaUnica
{
public:
    // The lock file: $XDG_RUNTIME_DIR/<nombre>.lock, or a folder of this
    // user's own under /tmp when the session has no runtime folder.
    explicit InstanciaUnica(const QString &nombre = QStringLiteral("kv517"));
    ~InstanciaUnica();
    InstanciaUnica(const InstanciaUnica &) = delete;
    InstanciaUnica &operator=(const InstanciaUnica &) = delete;

    enum class Estado { Adquirida, Ocupada, SinAcceso };

    // Adquirida: this process holds the lock (now or from before). Ocupada:
    // another copy holds it. SinAcceso: the lock file cannot be opened (a
    // folder without write permission), so nothing can be told.
    Estado adquirir();
    bool adquirida() const { return m_descriptor >= 0; }
    QString ruta() const { return m_ruta; }

    static QString carpetaPredeterminada();

private:
    QString m_ruta;
    int m_descriptor = -1;
};

} // namespace kv
