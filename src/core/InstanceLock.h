// The lock that lets one copy of the program run at a time.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

// A machine-wide lock held for the life of the process. On Unix it is an flock on a file in the
// runtime folder, which the kernel drops however the process ends, kill -9 included; without a
// runtime folder, on a file named for the user in the temporary folder. A lock file that is not
// the user's own is trouble, never another copy.
class InstanceLock
{
public:
    explicit InstanceLock(QString name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when this process now holds the lock; false when another holds it or it cannot be made.
    bool TryAcquire();
    bool IsHeld() const { return held; }
    // Why the lock could not be made at all (a missing or read-only folder); empty when another
    // copy holds it, so a later copy can tell "already running" from "cannot tell".
    QString Trouble() const { return trouble; }
    QString Path() const { return path; }
    // Where the copy holding the lock listens for a later copy that wants it brought forward.
    QString SocketPath() const;

private:
    QString path;
    QString trouble;
    bool held = false;
#ifdef Q_OS_UNIX
    int fd = -1;
#else
    std::unique_ptr<QLockFile> lockFile;
#endif
};
