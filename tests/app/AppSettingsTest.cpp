// Tests of where the window's settings are read from.
#include "AppSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Opens settings with the warnings kept. Whoever opens the FIFO for reading while this runs is
// let go at once (a writer comes and leaves) and the opening is told, so the test fails instead
// of hanging.
struct Opened
{
    bool fifoOpened = false;
    QStringList warned;
};
Opened OpenWatched(AppSettings &settings, const QString &file, const QString &fifo)
{
    std::atomic<bool> done{false};
    std::atomic<bool> opened{false};
    std::thread watch([&] {
        while (!done) {
            // Succeeds only while someone has the FIFO open for reading.
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                opened = true;
                ::close(fd);
            }
            ::usleep(1000);
        }
    });
    warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler(KeepWarning);
    settings.Open(file);
    qInstallMessageHandler(before);
    done = true;
    watch.join();
    return {opened, warnings};
}

struct EnvironmentValue
{
    EnvironmentValue(const char *name, const QByteArray &value)
        : name(name), old(qgetenv(name)), had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentValue() { had ? qputenv(name, old) : qunsetenv(name); }
    const char *name;
    const QByteArray old;
    const bool had;
};
} // namespace

TEST(AppSettings, OnlyARegularFileOfSaneSizeIsRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("settings.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        AppSettings settings;
        const Opened opened = OpenWatched(settings, fifo, fifo);
        EXPECT_FALSE(opened.fifoOpened);
        ASSERT_EQ(opened.warned.size(), 1);
        EXPECT_TRUE(opened.warned[0].contains(fifo + QStringLiteral(" is not a regular file")))
            << opened.warned[0].toStdString();
        EXPECT_TRUE(settings.VerifyAfterDownload()); // the defaults
        EXPECT_TRUE(settings.LastPort().isEmpty());
        settings.SetLastPort(QStringLiteral("/dev/ttyUSB1"));
    }
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)); // never replaced by a file of ours

    // A settings file too big to be ours: not read, and not written over when the window ends.
    const QString huge = dir.filePath(QStringLiteral("huge.ini"));
    QByteArray text = "[link]\nlastPort=/dev/ttyUSB7\n";
    text += QByteArray(1024 * 1024, ';');
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    {
        AppSettings settings;
        const Opened opened = OpenWatched(settings, huge, fifo);
        ASSERT_EQ(opened.warned.size(), 1);
        EXPECT_TRUE(opened.warned[0].contains(QStringLiteral("holds %1 bytes").arg(text.size())))
            << opened.warned[0].toStdString();
        EXPECT_TRUE(settings.LastPort().isEmpty());
        settings.SetVerifyAfterDownload(false);
    }
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);
}

// The user's own settings file is looked at before Qt reads it, where Qt reads it.
TEST(AppSettings, TheUsersOwnSettingsFileIsCheckedToo)
{
    QTemporaryDir config;
    const EnvironmentValue home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("Tamlin")));
    for (const QString &name : {QStringLiteral("Tamlin/Orvex Interface.conf"), QStringLiteral("Tamlin.conf")}) {
        const QString fifo = config.filePath(name);
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        AppSettings settings;
        const Opened opened = OpenWatched(settings, QString(), fifo);
        EXPECT_FALSE(opened.fifoOpened) << name.toStdString();
        EXPECT_EQ(opened.warned.filter(fifo).size(), 1) << opened.warned.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(settings.VerifyAfterDownload());
        ASSERT_TRUE(QFile::remove(fifo));
    }
}
