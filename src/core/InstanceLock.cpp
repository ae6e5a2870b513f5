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
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace {
QString LockPath(const QString &name)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QLatin1Char('/') + name + QStringLiteral(".lock");
        // The temporary folder is everyone's: a fixed name there is one any user could take first.
#ifdef Q_OS_UNIX
    return QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral("-%1.lock").arg(::geteuid());
#else
    return QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock");
#endif
}
} // namespace

InstanceLock::InstanceLock(QString name) : path(LockPath(name)) {}

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
    // Not through a link: someone else's link could lead us to lock, or create, a file of theirs.
    fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        trouble = errno == ELOOP ? QStringLiteral("it is a symbolic link") : QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // A lock file another user made says nothing about our own copies; one they hold must not
    // keep us from starting.
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        trouble = QString::fromLocal8Bit(strerror(errno));
    else if (info.st_uid != ::geteuid())
        trouble = QStringLiteral("it belongs to another user (uid %1)").arg(info.st_uid);
    else if (!S_ISREG(info.st_mode))
        trouble = QStringLiteral("it is no regular file");
    if (!trouble.isEmpty()) {
        ::close(fd);
        fd = -1;
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
