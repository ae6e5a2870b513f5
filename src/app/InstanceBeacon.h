// How a second copy of the program asks the running one to come forward.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The running copy listens on a local socket beside its single-instance lock; a later copy connects
// and says so before it closes.
class CInstanceBeacon : public QObject
{
    Q_OBJECT
public:
    explicit CInstanceBeacon(QObject *parent = nullptr);
    ~CInstanceBeacon() override;

    // Only the copy that holds the lock listens, so a socket left by a crashed copy is stale.
    bool Listen(const QString &socketPath);
    // From the second copy: true when the running one took the request.
    static bool CallRunningCopy(const QString &socketPath);

signals:
    void comeForward();

private:
    QLocalServer *server = nullptr;
};
