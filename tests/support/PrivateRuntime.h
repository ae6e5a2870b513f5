// A runtime folder of the test program's own.
#pragma once

#include <QFile>
#include <QTemporaryDir>

// Locks, sockets and simulator registrations made by a test (and the programs it starts) stay in
// here: they never meet the user's own, another test run's, or a shared temporary folder.
class PrivateRuntime
{
public:
    PrivateRuntime()
    {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    }
    QString Path() const { return dir.path(); }

private:
    QTemporaryDir dir;
};
