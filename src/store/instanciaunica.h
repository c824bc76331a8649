#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace kv {

// One running copy per user of a program: a lock file in the user's runtime
// folder ($XDG_RUNTIME_DIR, else a private folder under the temporary one),
// held for the life of the process. A lock left by a copy that died is
// taken over.
class InstanciaUnica
{
public:
    explicit InstanciaUnica(const QString &programa);

    // True when this process now holds the lock; false when another copy runs.
    bool adquirir();
    QString rutaBloqueo() const { return m_ruta; }

private:
    QString m_ruta;
    std::unique_ptr<QLockFile> m_bloqueo;
};

} // namespace kv
