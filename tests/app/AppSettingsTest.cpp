// Tests of where the window's settings are read from.
#include "AppSettings.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
QStringList warnings;
void KeepWarning(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg)
        warnings << text;
}

// Opens the settings with the warnings kept. Whoever opens the FIFO for reading meanwhile is let
// go at once (a writer comes and leaves) and true is returned, so the test fails instead of hanging.
bool OpenWatchingFifo(AppSettings &settings, const QString &file, const QString &fifo)
{
    std::atomic<bool> done{false};
    std::atomic<bool> opened{false};
    std::thread watch([&] {
        for (; !done; ::usleep(1000)) {
            // Succeeds only while someone has the FIFO open for reading.
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                opened = true;
                ::close(fd);
            }
        }
    });
    warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler(KeepWarning);
    settings.Open(file);
    qInstallMessageHandler(before);
    done = true;
    watch.join();
    return opened;
}
} // namespace

// A FIFO would hold the start for ever, a huge file fill the memory: defaults, a line on stderr,
// and the file left as it is.
TEST(AppSettings, OnlyARegularFileOfSaneSizeIsRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("settings.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        AppSettings settings;
        EXPECT_FALSE(OpenWatchingFifo(settings, fifo, fifo));
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains(fifo + QStringLiteral(" is not a regular file"))) << warnings[0].toStdString();
        EXPECT_TRUE(settings.VerifyAfterDownload());
        settings.SetLastPort(QStringLiteral("/dev/ttyUSB1"));
    }
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const QString huge = dir.filePath(QStringLiteral("huge.ini"));
    const QByteArray text = "[link]\nlastPort=/dev/ttyUSB7\n" + QByteArray(1024 * 1024, ';');
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    {
        AppSettings settings;
        OpenWatchingFifo(settings, huge, fifo);
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains(QStringLiteral("holds %1 bytes").arg(text.size())))
            << warnings[0].toStdString();
        EXPECT_TRUE(settings.LastPort().isEmpty());
        settings.SetVerifyAfterDownload(false);
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);

    // The user's own files are looked at where Qt reads them, before it reads them.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const bool hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const auto restore =
        qScopeGuard([&] { hadConfigHome ? qputenv("XDG_CONFIG_HOME", configHome) : qunsetenv("XDG_CONFIG_HOME"); });
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Tamlin")));
    for (const QString &name : {QStringLiteral("Tamlin/Orvex Interface.conf"), QStringLiteral("Tamlin.conf")}) {
        const QString own = dir.filePath(name);
        ASSERT_EQ(::mkfifo(QFile::encodeName(own).constData(), 0600), 0);
        AppSettings settings;
        EXPECT_FALSE(OpenWatchingFifo(settings, QString(), own)) << name.toStdString();
        EXPECT_EQ(warnings.filter(own).size(), 1) << warnings.join(QLatin1Char('\n')).toStdString();
        ASSERT_TRUE(QFile::remove(own));
    }
}
