// orvexctl and orvex-sim as processes for the tests, and the waits that watch them without timing them.
#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/syscall.h>

struct CliRun
{
    int code = -1;
    QByteArray out;
    QString err;
    QString Out() const { return QString::fromUtf8(out); }
};

inline QProcessEnvironment TestEnvironment(const QString &runtime)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!runtime.isEmpty())
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

// Runs orvexctl to its end; input goes to its standard input, which is then closed.
inline CliRun RunOrvexctl(const QStringList &args, const QByteArray &input = {}, const QString &runtime = {},
                          int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(TestEnvironment(runtime));
    process.start(QStringLiteral(ORVEXCTL), args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// A profile file encoded from text at path; fails the test when encode refuses.
inline QString EncodeProfile(const QString &path, const QByteArray &text)
{
    const CliRun run = RunOrvexctl({"encode", "-", "-o", path}, text);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    return path;
}

inline QByteArray ReadFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline CliRun Finished(QProcess &process, int timeoutMs = 120000)
{
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// Polls a condition until it holds or the bound passes; the bound only stops a broken test, it
// measures nothing.
inline bool WaitUntil(const std::function<bool()> &condition, int boundMs = 30000)
{
    const QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// The process sits in the given system call (read, openat), as /proc tells.
inline bool InSyscall(qint64 pid, long number)
{
    QFile file(QStringLiteral("/proc/%1/syscall").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readAll();
    return line.startsWith(QByteArray::number(static_cast<qlonglong>(number)) + ' ');
}

// The process has its handlers for SIGINT and SIGTERM in place.
inline bool CatchesInterrupts(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:"))
            continue;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
        const qulonglong wanted = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
        return (mask & wanted) == wanted;
    }
    return false;
}

// orvex-sim as its own process, registered in the test's runtime folder.
class SimProcess
{
public:
    explicit SimProcess(const QString &runtime, const QStringList &args = {})
    {
        process.setProcessEnvironment(TestEnvironment(runtime));
        process.start(QStringLiteral(ORVEX_SIM), args);
        if (process.waitForReadyRead(10000))
            device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimProcess() { Terminate(); }
    void Terminate()
    {
        if (process.state() == QProcess::NotRunning)
            return;
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
