#include "app/noMultiInst.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

NoMultiInst::~NoMultiInst()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString NoMultiInst::standardPfad()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/NoMultiMutex.lock");
    return QStringLiteral("/tmp/NoMultiMutex-%1.lock").arg(::getuid());
}

NoMultiInst::Ergebnis NoMultiInst::sperren(const QString &path)
{
    // O_CLOEXEC: a program we start (mail client, browser) must not inherit the lock and keep
    // it after we end. O_NOFOLLOW: in the shared /tmp a planted symlink is refused.
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Fehlgeschlagen;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? LaeuftBereits : Fehlgeschlagen;
    }
    m_fd = fd;
    return Erhalten;
}
