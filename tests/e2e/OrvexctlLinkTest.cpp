// Tests of orvexctl's link commands against orvex-sim.
#include "ProfileCodec.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
// orvex-sim as its own process, registered in a runtime folder of the test's own.
class SimProcess
{
public:
    explicit SimProcess(const QString &runtime, const QStringList &args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ORVEX_SIM), args);
        if (process.waitForReadyRead(5000))
            device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    void Kill()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    QProcess process;
    QString device;
};

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

class OrvexctlLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    CliRun Run(const QStringList &args, int timeoutMs = 60000)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ORVEXCTL), args);
        process.waitForFinished(timeoutMs);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QTemporaryDir runtime;
    QTemporaryDir files;
};
} // namespace

TEST_F(OrvexctlLink, PortsListsARunningSimulatorAndForgetsItWhenItStops)
{
    {
        SimProcess sim(runtime.path());
        ASSERT_FALSE(sim.device.isEmpty());
        const CliRun run = Run({QStringLiteral("ports")});
        EXPECT_EQ(run.code, 0);
        EXPECT_TRUE(run.out.contains(sim.device + QStringLiteral("\tOrvex simulated controller\n")))
            << run.out.toStdString();
    }
    EXPECT_FALSE(Run({QStringLiteral("ports")}).out.contains(QStringLiteral("Orvex simulated controller")));

    SimProcess killed(runtime.path());
    killed.Kill(); // kill -9: its registration is left behind, and ignored
    EXPECT_FALSE(Run({QStringLiteral("ports")}).out.contains(QStringLiteral("Orvex simulated controller")));
}

TEST_F(OrvexctlLink, MonitorPrintsReadingsAndStopsOnAHangUp)
{
    SimProcess sim(runtime.path(),
                   {QStringLiteral("--input"), QStringLiteral("128"), QStringLiteral("--alarm"), QStringLiteral("3")});
    CliRun run = Run({QStringLiteral("monitor"), QStringLiteral("--port"), sim.device, QStringLiteral("--count"),
                      QStringLiteral("1")});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Temperature: 24.8  PWM: 0  WARNING: Tacho Signal Lost Alarm ON\n"));

    run = Run({QStringLiteral("monitor"), QStringLiteral("--port"), sim.device, QStringLiteral("--count"),
               QStringLiteral("1"), QStringLiteral("--csv")});
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("seconds,kind,value,pwm_percent,alarm_code"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",temperature,24.8,0.0,3"))) << lines[1].toStdString();

    QProcess monitor;
    monitor.start(QStringLiteral(ORVEXCTL), {QStringLiteral("monitor"), QStringLiteral("--port"), sim.device});
    ASSERT_TRUE(monitor.waitForReadyRead(5000));
    sim.Kill();
    ASSERT_TRUE(monitor.waitForFinished(5000));
    EXPECT_EQ(monitor.exitCode(), 1);
    EXPECT_TRUE(monitor.readAllStandardError().contains("Communication Cable Removed"));
}

TEST_F(OrvexctlLink, UploadRefusesAnEmptyControllerAndAShortAnswer)
{
    SimProcess empty(runtime.path());
    const QString out = files.filePath(QStringLiteral("u.dat"));
    CliRun run = Run({QStringLiteral("upload"), QStringLiteral("--port"), empty.device, QStringLiteral("-o"), out});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("NO PROFILE FOUND ON CONTROLLER")));
    EXPECT_FALSE(QFile::exists(out));

    const QString profile = files.filePath(QStringLiteral("p.dat"));
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(kProfileImageSize, '\x11'));
    file.close();
    SimProcess cut(runtime.path(), {QStringLiteral("--profile"), profile, QStringLiteral("--short-answers")});
    run = Run({QStringLiteral("upload"), QStringLiteral("--port"), cut.device, QStringLiteral("-o"), out});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("incomplete (100 of 160 bytes)"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(Run({QStringLiteral("download"), QStringLiteral("--port"), cut.device, out}).code, 1); // no such file
    QFile odd(files.filePath(QStringLiteral("odd.dat")));
    ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
    odd.write(QByteArray(100, '\0'));
    odd.close();
    run = Run({QStringLiteral("download"), QStringLiteral("--port"), cut.device, odd.fileName()});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("holds 320 bytes")));
    EXPECT_EQ(Run({QStringLiteral("download"), odd.fileName()}).code, 2);
    EXPECT_EQ(Run({QStringLiteral("upload"), QStringLiteral("--port"), QStringLiteral("/dev/no-such-port"),
                   QStringLiteral("-o"), out})
                  .code,
              1);
}

// The one test on the controller's real timing: about 30 seconds.
TEST_F(OrvexctlLink, DownloadThenUploadGivesTheSameBytesOnRealTime)
{
    SimProcess sim(runtime.path());
    const QString profile = files.filePath(QStringLiteral("p.dat"));
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray image(kProfileImageSize, '\0');
    for (int i = 0; i < kProfileImageSize; ++i)
        image[i] = static_cast<char>(i * 7);
    file.write(image);
    file.close();

    CliRun run = Run({QStringLiteral("download"), QStringLiteral("--port"), sim.device, profile});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Configuration saved. \r\nController restarting\r\nTest Mode active\n"));
    EXPECT_TRUE(run.err.contains(QStringLiteral("progress 100 %")));

    const QString back = files.filePath(QStringLiteral("back.dat"));
    run = Run({QStringLiteral("upload"), QStringLiteral("--port"), sim.device, QStringLiteral("-o"), back});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QFile uploaded(back);
    ASSERT_TRUE(uploaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(uploaded.readAll(), image);
}
