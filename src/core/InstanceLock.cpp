// The single-instance lock on a file in the runtime folder.
#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace {
QString LockFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    return dir;
}
} // namespace

InstanceLock::InstanceLock(QString name) : path(LockFolder() + QLatin1Char('/') + name + QStringLiteral(".lock")) {}

QString InstanceLock::SocketPath() const
{
    QString socket = path;
    socket.chop(QStringLiteral(".lock").size());
    return socket + QStringLiteral(".sock");
}

InstanceLock::~InstanceLock()
{
#ifdef Q_OS_UNIX
    if (fd >= 0)
        ::close(fd); // closing the descriptor drops the flock
#endif
}

bool InstanceLock::TryAcquire()
{
    if (held)
        return true;
    trouble.clear();
#ifdef Q_OS_UNIX
    const QByteArray file = QFile::encodeName(path);
    fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        trouble = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            trouble = QString::fromLocal8Bit(strerror(errno));
        ::close(fd);
        fd = -1;
        return false;
    }
    held = true;
#else
    lockFile = std::make_unique<QLockFile>(path);
    lockFile->setStaleLockTime(0); // stale only when the owner is gone
    held = lockFile->tryLock(0);
    if (!held && lockFile->error() != QLockFile::LockFailedError)
        trouble = QStringLiteral("the lock file cannot be made");
#endif
    return held;
}
