// A second process holding the single-instance lock, for tests.
#pragma once

#include <QProcess>
#include <QUuid>

// Starts the lock holder under a fresh lock name and waits until it reports the lock held.
class LockHolderProcess
{
public:
    LockHolderProcess() : name(QStringLiteral("orvex-test-") + QUuid::createUuid().toString(QUuid::Id128))
    {
        process.start(QStringLiteral(ORVEX_LOCK_HOLDER), {name});
        if (process.waitForReadyRead(10000))
            reply = QString::fromLatin1(process.readLine()).trimmed();
    }
    ~LockHolderProcess() { KillHard(); }

    // SIGKILL: the holder gets no chance to clean up, as after a crash.
    void KillHard()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

    const QString name;
    QString reply;

private:
    QProcess process;
};
