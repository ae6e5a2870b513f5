// The single-instance lock on a file in the runtime folder.
#include "InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
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
#ifdef Q_OS_UNIX
    const QByteArray file = QFile::encodeName(path);
    fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        fd = -1;
        return false;
    }
    held = true;
#else
    lockFile = std::make_unique<QLockFile>(path);
    lockFile->setStaleLockTime(0); // stale only when the owner is gone
    held = lockFile->tryLock(0);
#endif
    return held;
}
