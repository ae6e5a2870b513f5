// The local socket between the running copy and a second one.
#include "InstanceBeacon.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray kRequest = QByteArrayLiteral("come forward\n");
constexpr int kTimeoutMs = 2000;
} // namespace

CInstanceBeacon::CInstanceBeacon(QObject *parent) : QObject(parent) {}

CInstanceBeacon::~CInstanceBeacon() = default;

bool CInstanceBeacon::Listen(const QString &socketPath)
{
    QLocalServer::removeServer(socketPath);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->canReadLine() && client->readLine() == kRequest)
                    emit comeForward();
            });
        }
    });
    return server->listen(socketPath);
}

bool CInstanceBeacon::CallRunningCopy(const QString &socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(kRequest);
    const bool sent = socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}
