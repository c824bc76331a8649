#include "instanciaunica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

InstanciaUnica::InstanciaUnica(const QString &nombre)
    : m_ruta(carpetaPredeterminada() + u'/' + nombre + QStringLiteral(".lock"))
{
}

InstanciaUnica::~InstanciaUnica()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor); // releases the lock; the file stays for the next start
}

QString InstanciaUnica::carpetaPredeterminada()
{
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    // A folder of this user's own, so that another user's copy neither
    // blocks this one nor can take its lock file away.
    const QString carpeta = QDir::tempPath() + QStringLiteral("/kv-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(carpeta).constData(), 0700);
    return carpeta;
}

InstanciaUnica::Estado InstanciaUnica::adquirir()
{
    if (m_descriptor >= 0)
        return Estado::Adquirida;
    const QByteArray ruta = QFile::encodeName(m_ruta);
    const int fd = ::open(ruta.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Estado::SinAcceso;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool ocupada = errno == EWOULDBLOCK;
        ::close(fd);
        return ocupada ? Estado::Ocupada : Estado::SinAcceso;
    }
    m_descriptor = fd;
    return Estado::Adquirida;
}

} // namespace kv
