#include "app/noMultiInst.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens the lock file of `ort`, creating it (and a private folder) with `anlegen`; -1 if the
// place cannot hold our lock.
int oeffnen(const NoMultiInst::Ort &ort, bool anlegen)
{
    const QByteArray ordner = QFile::encodeName(ort.ordner);
    if (anlegen && ort.privat && ::mkdir(ordner.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int dir =
        ::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (ort.privat ? O_NOFOLLOW : 0));
    if (dir < 0)
        return -1;
    struct stat st;
    if (ort.privat && (::fstat(dir, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
                       (st.st_mode & 022) != 0)) {
        ::close(dir);
        return -1;
    }
    // O_CLOEXEC: a program we start (mail client, browser) must not inherit the lock and keep
    // it after we end. O_NOFOLLOW: a symlink planted at the lock's name is refused.
    const int fd = ::openat(dir, QFile::encodeName(ort.name).constData(),
                            O_RDWR | (anlegen ? O_CREAT : 0) | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    ::close(dir);
    if (fd < 0)
        return -1;
    // A file someone else planted (theirs, a hard link to one of ours, a fifo) is no lock of ours:
    // its owner could hold it forever.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

NoMultiInst::~NoMultiInst()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QList<NoMultiInst::Ort> NoMultiInst::standardOrte()
{
    QList<Ort> orte;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith(QLatin1Char('/')))
        orte.append({runtime, QStringLiteral("NoMultiMutex.lock")});
    const QString uid = QString::number(::geteuid());
    orte.append({QStringLiteral("/tmp"), QStringLiteral("NoMultiMutex-%1.lock").arg(uid)});
    orte.append({QStringLiteral("/tmp/skizzomat-%1").arg(uid), QStringLiteral("NoMultiMutex.lock"), true});
    return orte;
}

NoMultiInst::Ergebnis NoMultiInst::sperren(const QList<Ort> &orte)
{
    // After the first place that holds our lock, the later ones are only looked at where they
    // exist: a place can become usable while an instance runs (Qt creates a missing runtime
    // folder), and an instance that took a later place before must still be found there.
    int gehalten = -1;
    for (const Ort &ort : orte) {
        const int fd = oeffnen(ort, gehalten < 0);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (gehalten < 0)
                gehalten = fd;
            else
                ::close(fd);
            continue;
        }
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            if (gehalten >= 0)
                ::close(gehalten);
            return LaeuftBereits;
        }
    }
    if (gehalten < 0)
        return Fehlgeschlagen;
    m_fd = gehalten;
    return Erhalten;
}
