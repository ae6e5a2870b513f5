// Folders of the test program's own in place of the user's.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Locks, sockets and simulator registrations (the runtime folder), recovery copies and the
// download journal (the state folder) and settings made by a test, or by the programs it starts,
// stay in here: they never meet the user's own, another test run's, or a shared temporary folder.
class PrivateFolders
{
public:
    PrivateFolders()
    {
        for (const auto &[variable, name] : {std::pair{"XDG_RUNTIME_DIR", "run"}, std::pair{"ORVEX_STATE_DIR", "state"},
                                             std::pair{"XDG_CONFIG_HOME", "config"}}) {
            const QString folder = dir.filePath(QString::fromLatin1(name));
            QDir().mkdir(folder);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            qputenv(variable, QFile::encodeName(folder));
        }
    }

private:
    QTemporaryDir dir;
};
