// Tests of the serial port against the simulated controller.
#include "PtyController.h"
#include "SerialException.h"
#include "SerialPort.h"

#include "Pump.h"
#include <QCoreApplication>

#include <QElapsedTimer>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {
QByteArray ReadFor(CSerialPort &port, int ms)
{
    QByteArray all;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        Pump(20);
        all += port.Read(4096);
    }
    return all;
}
} // namespace

TEST(SerialPort, OpensTheSimulatorAndReadsFramesWithoutWaiting)
{
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    CSerialPort port;
    std::vector<bool> changes;
    QObject::connect(&port, &CSerialPort::connectionChanged, [&](bool connected) { changes.push_back(connected); });
    port.Open(sim.DevicePath(), 9600);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(changes, std::vector<bool>{true});

    port.Purge(CSerialPort::PurgeRxClear);
    QElapsedTimer timer;
    timer.start();
    const QByteArray nothing = port.Read(70);
    EXPECT_LT(timer.elapsed(), 50); // returns at once
    (void)nothing;

    const QByteArray frames = ReadFor(port, 1300);
    EXPECT_TRUE(frames.contains("<ADCT)142/ PWM: 0/ Alarm: 0>")) << frames.constData();

    port.Write("S");
    port.Write("X");
    const QByteArray half = ReadFor(port, 300);
    EXPECT_EQ(half, QByteArray(160, static_cast<char>(0xFF))); // no profile stored yet
    EXPECT_EQ(sim.Received(), QByteArray("SX"));

    port.Close();
    port.Close(); // closed already: nothing happens
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST(SerialPort, RefusalsSayWhatIsWrong)
{
    CSerialPort port;
    bool connected = true;
    QObject::connect(&port, &CSerialPort::connectionChanged, [&](bool c) { connected = c; });
    try {
        port.Open(QStringLiteral("/dev/no-such-port"), 9600);
        FAIL() << "opened a missing port";
    } catch (const CSerialException &error) {
        EXPECT_EQ(error.ErrorCode(), 2);
        EXPECT_TRUE(error.Text().contains(QStringLiteral("/dev/no-such-port")));
    }
    EXPECT_FALSE(connected);

    // Held by another program: the simulator's line opened twice.
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    CSerialPort first;
    first.Open(sim.DevicePath(), 9600);
    try {
        port.Open(sim.DevicePath(), 9600);
        FAIL() << "opened a busy port";
    } catch (const CSerialException &error) {
        EXPECT_TRUE(error.Text().contains(QStringLiteral("in use by another program"))) << error.Text().toStdString();
    }
}

TEST(SerialPort, APermissionRefusalNamesTheGroupThatOwnsTheDevice)
{
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    struct stat info
    {
    };
    ASSERT_EQ(::stat(sim.DevicePath().toLocal8Bit().constData(), &info), 0);
    const QString group = QString::fromLocal8Bit(::getgrgid(info.st_gid)->gr_name);
    const QString text = PermissionRefusalText(sim.DevicePath());
    EXPECT_TRUE(text.contains(sim.DevicePath()));
    EXPECT_TRUE(text.contains(QStringLiteral("sudo usermod -aG %1 $USER").arg(group))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("log out and in again")));
}

TEST(SerialPort, APermissionRefusalNamesTheFix)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens any device; run as a normal user to see this refusal";
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    ::chmod(sim.DevicePath().toLocal8Bit().constData(), 0);
    CSerialPort port;
    try {
        port.Open(sim.DevicePath(), 9600);
        FAIL() << "opened an unreadable device";
    } catch (const CSerialException &error) {
        EXPECT_TRUE(error.Text().contains(QStringLiteral("log out and in again"))) << error.Text().toStdString();
    }
}

TEST(SerialPort, AHangUpIsReportedAsARemovedDevice)
{
    PtyController sim;
    ASSERT_TRUE(sim.Start());
    CSerialPort port;
    bool removed = false;
    QObject::connect(&port, &CSerialPort::deviceLost, [&] { removed = true; });
    port.Open(sim.DevicePath(), 9600);
    sim.HangUp();
    QElapsedTimer timer;
    timer.start();
    while (!removed && timer.elapsed() < 3000) {
        Pump(20);
        try {
            port.Read(70);
        } catch (const CSerialException &) {
        }
    }
    EXPECT_TRUE(removed);
    port.Close();
}
