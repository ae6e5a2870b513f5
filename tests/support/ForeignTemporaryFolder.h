// A temporary folder as another user of the machine may have left it, for the lock's tests.
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// While it lives, TMPDIR is a folder of its own in which another user already made the runtime
// folder Qt would make for us, so the runtime folder is refused and the lock falls back to the
// temporary folder. Making files of another user needs root.
class ForeignTemporaryFolder
{
public:
    static constexpr uid_t kOtherUser = 4242;

    ForeignTemporaryFolder()
        : oldTmp(qgetenv("TMPDIR")), oldRuntime(qgetenv("XDG_RUNTIME_DIR")),
          hadTmp(qEnvironmentVariableIsSet("TMPDIR")), hadRuntime(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
    {
        const QByteArray folder = QFile::encodeName(dir.path());
        ::chmod(folder.constData(), 01777); // as /tmp is
        const struct passwd *me = ::getpwuid(::geteuid());
        const QByteArray taken = folder + "/runtime-" + (me ? me->pw_name : "");
        ready = ::mkdir(taken.constData(), 0700) == 0 && ::chown(taken.constData(), kOtherUser, kOtherUser) == 0;
        qputenv("TMPDIR", folder);
        qputenv("XDG_RUNTIME_DIR", taken);
    }
    ~ForeignTemporaryFolder()
    {
        for (int fd : held)
            ::close(fd);
        hadTmp ? qputenv("TMPDIR", oldTmp) : qunsetenv("TMPDIR");
        hadRuntime ? qputenv("XDG_RUNTIME_DIR", oldRuntime) : qunsetenv("XDG_RUNTIME_DIR");
    }
    ForeignTemporaryFolder(const ForeignTemporaryFolder &) = delete;
    ForeignTemporaryFolder &operator=(const ForeignTemporaryFolder &) = delete;

    // False when the other user's folder could not be made (not root).
    bool Ready() const { return ready; }
    QString Path() const { return dir.path(); }
    // A lock file of the other user's, held as a running copy of theirs holds it.
    bool HoldForeignLock(const QString &name)
    {
        const int fd = ::open(QFile::encodeName(dir.filePath(name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        held.push_back(fd);
        return ::fchown(fd, kOtherUser, kOtherUser) == 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    }

private:
    QTemporaryDir dir;
    const QByteArray oldTmp;
    const QByteArray oldRuntime;
    const bool hadTmp;
    const bool hadRuntime;
    bool ready = false;
    std::vector<int> held;
};
