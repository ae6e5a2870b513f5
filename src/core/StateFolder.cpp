// The state folder of the window and orvexctl alike.
#include "StateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

QString StateFolder()
{
    const QString own = qEnvironmentVariable("ORVEX_STATE_DIR");
    if (!own.isEmpty())
        return QDir::cleanPath(own);
    // Relative values are to be ignored, as the XDG base directories say.
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base =
        !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(base + QStringLiteral("/orvex"));
}

QString MakeStateFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return {};
    if (info.exists())
        return QStringLiteral("%1 is no folder").arg(folder);
    QDir parent = info.absoluteDir();
    if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
        return QStringLiteral("cannot make %1").arg(parent.absolutePath());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("cannot make %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}
