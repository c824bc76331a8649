#include "instanciaunica.h"

#include <QDir>
#include <unistd.h>

namespace kv {

InstanciaUnica::InstanciaUnica(const QString &programa)
{
    QString carpeta = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (carpeta.isEmpty() || !QFileInfo(carpeta).isWritable()) {
        carpeta = QDir::tempPath() + QStringLiteral("/kv-") + QString::number(getuid());
        QDir().mkpath(carpeta);
        QFile::setPermissions(carpeta, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    m_ruta = carpeta + u'/' + programa + QStringLiteral(".lock");
}

bool InstanciaUnica::adquirir()
{
    m_bloqueo = std::make_unique<QLockFile>(m_ruta);
    // A lock never goes stale by age while its owner lives; a dead owner's
    // lock is removed by tryLock itself.
    m_bloqueo->setStaleLockTime(0);
    if (m_bloqueo->tryLock(0))
        return true;
    m_bloqueo.reset();
    return false;
}

} // namespace kv
