// Served on Qt Network, not by prometheus-cpp's CivetWeb endpoint: there two idle connections held
// every worker thread, IPv6 addresses could not be bound, and Debian's build has no TLS.
// prometheus-cpp keeps the registry and the text format.
#include "MetricsServer.h"

#include "HttpRequest.h"
#include "Output.h"
#include "WebConfig.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

#include <unistd.h>

namespace {
constexpr int kGrantedLimit = 64;
constexpr int kAcceptRetryMs = 1000;

const char *Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 431: return "Request Header Fields Too Large";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

qint64 Now()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

const QByteArray kLandingPage =
    "<!DOCTYPE html>\n<html><head><title>orvexctl exporter</title></head>\n"
    "<body><h1>orvexctl exporter</h1><p><a href=\"metrics\">Metrics</a></p></body></html>\n";
} // namespace

class MetricsServer::Listener : public QTcpServer
{
public:
    explicit Listener(MetricsServer &server) : server(server) {}

protected:
    void incomingConnection(qintptr descriptor) override { server.Accept(descriptor); }

private:
    MetricsServer &server;
};

struct MetricsServer::Connection
{
    enum class State { Handshake, Reading, Checking, Writing, Closing };
    QTcpSocket *socket = nullptr; // deleted later: it may be inside one of its own signals
    QTimer *deadline = nullptr;   // the socket's child
    State state = State::Reading;
    QByteArray pending;
    bool idle = false; // kept open, waiting for the next request
    bool keepAlive = false;
    qint64 lastActive = 0;
};

MetricsServer::MetricsServer(std::function<QByteArray()> metrics, std::shared_ptr<const WebConfig> config,
                             QObject *parent)
    : QObject(parent), metrics(std::move(metrics)), config(std::move(config))
{
    checks.setMaxThreadCount(1);
}

MetricsServer::~MetricsServer()
{
    checks.clear();
    checks.waitForDone();
    while (!connections.empty())
        Close(connections.begin()->first);
}

bool MetricsServer::Secure() const
{
    return config && config->Tls();
}

QString MetricsServer::Listen(const ListenAddress &address)
{
    listener = std::make_unique<Listener>(*this);
    if (listener->listen(address.host, address.port)) {
        // Out of descriptors, Qt stops accepting for good: take up again shortly.
        connect(listener.get(), &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
            Err::Line(QStringLiteral("exporter: cannot accept a connection: %1").arg(listener->errorString()));
            QTimer::singleShot(kAcceptRetryMs, this, [this] { listener->resumeAccepting(); });
        });
        return {};
    }
    const QString host = address.hostText;
    QString why;
    switch (listener->serverError()) {
    case QAbstractSocket::AddressInUseError:
        why = QStringLiteral("the address is in use: another program (or another exporter) listens there");
        break;
    case QAbstractSocket::SocketAddressNotAvailableError:
        why = QStringLiteral("%1 is not an address of this machine").arg(host);
        break;
    case QAbstractSocket::SocketAccessError:
        why = address.port < 1024 ? QStringLiteral("permission denied: ports below 1024 need privileges")
                                  : QStringLiteral("permission denied");
        break;
    case QAbstractSocket::UnsupportedSocketOperationError:
        why = QStringLiteral("this machine has no %1")
                  .arg(address.host.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("IPv6")
                                                                                : QStringLiteral("IPv4"));
        break;
    default: why = listener->errorString(); break;
    }
    listener.reset();
    return QStringLiteral("cannot listen on %1: %2").arg(address.Text(), why);
}

quint16 MetricsServer::Port() const
{
    return listener ? listener->serverPort() : 0;
}

void MetricsServer::Accept(qintptr descriptor)
{
    if (connections.size() >= static_cast<size_t>(kMaxConnections))
        MakeRoom();
    QTcpSocket *socket = Secure() ? new QSslSocket : new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(static_cast<int>(descriptor));
        delete socket;
        return;
    }
    socket->setReadBufferSize(2 * kHeadLimit); // what waits unread stays in the kernel
    const quint64 id = nextId++;
    auto connection = std::make_unique<Connection>();
    connection->socket = socket;
    connection->deadline = new QTimer(socket);
    connection->deadline->setSingleShot(true);
    connection->lastActive = Now();
    connect(connection->deadline, &QTimer::timeout, this, [this, id] { Close(id); });
    connect(socket, &QTcpSocket::disconnected, this, [this, id] { Close(id); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, id] { Close(id); });
    connect(socket, &QTcpSocket::readyRead, this, [this, id] { OnReadable(id); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, id] { OnWritten(id); });
    connection->deadline->start(kRequestTimeoutMs);
    Connection &added = *connections.emplace(id, std::move(connection)).first->second;
    if (auto *secure = qobject_cast<QSslSocket *>(socket)) {
        added.state = Connection::State::Handshake;
        connect(secure, &QSslSocket::encrypted, this, [this, id] {
            const auto found = connections.find(id);
            if (found == connections.end())
                return;
            found->second->state = Connection::State::Reading;
            OnReadable(id);
        });
        secure->setSslConfiguration(*config->Tls());
        secure->startServerEncryption();
    }
}

// One request at a time: the next is read when the answer to this one is out.
void MetricsServer::OnReadable(quint64 id)
{
    const auto found = connections.find(id);
    if (found == connections.end() || found->second->state != Connection::State::Reading)
        return;
    Connection &c = *found->second;
    c.pending += c.socket->read(2 * kHeadLimit - c.pending.size());
    if (c.pending.isEmpty())
        return;
    if (c.idle) { // a new request starts: it has the request's time, not the idle time
        c.idle = false;
        c.deadline->start(kRequestTimeoutMs);
    }
    const HttpHead head = ParseHttpHead(c.pending, kHeadLimit);
    switch (head.outcome) {
    case HttpHead::Outcome::Incomplete: return;
    case HttpHead::Outcome::Bad: Respond(id, head.status, QByteArray(Reason(head.status)) + '\n', nullptr); return;
    case HttpHead::Outcome::Complete:
        c.pending.remove(0, head.length);
        c.lastActive = Now();
        Handle(id, head.request);
        return;
    }
}

void MetricsServer::Handle(quint64 id, const HttpRequest &request)
{
    if (!config || !config->AsksPassword()) {
        Serve(id, request);
        return;
    }
    const auto credentials = BasicCredentials(request.Header("authorization"));
    if (!credentials) {
        Respond(id, 401, "Unauthorized\n", &request);
        return;
    }
    const QByteArray key =
        QCryptographicHash::hash(credentials->first + '\0' + credentials->second, QCryptographicHash::Sha256);
    if (granted.count(key)) {
        Serve(id, request);
        return;
    }
    connections.at(id)->state = Connection::State::Checking;
    checks.start([this, id, key, request, credentials, config = config] {
        const bool ok = config->CheckPassword(credentials->first, credentials->second);
        QMetaObject::invokeMethod(
            this, [=, this] { OnChecked(id, key, ok, request); }, Qt::QueuedConnection);
    });
}

void MetricsServer::OnChecked(quint64 id, const QByteArray &key, bool ok, const HttpRequest &request)
{
    if (ok) {
        if (granted.size() >= static_cast<size_t>(kGrantedLimit))
            granted.clear();
        granted.insert(key);
    }
    const auto found = connections.find(id);
    if (found == connections.end())
        return;
    found->second->state = Connection::State::Reading;
    if (ok)
        Serve(id, request);
    else
        Respond(id, 401, "Unauthorized\n", &request);
}

void MetricsServer::Serve(quint64 id, const HttpRequest &request)
{
    if (request.method != "GET" && request.method != "HEAD") {
        Respond(id, 405, "Method Not Allowed\n", &request, "Allow: GET, HEAD\r\n");
        return;
    }
    if (request.path == "/metrics")
        Respond(id, 200, metrics(), &request, "Content-Type: text/plain; version=0.0.4; charset=utf-8\r\n");
    else if (request.path == "/")
        Respond(id, 200, kLandingPage, &request, "Content-Type: text/html; charset=utf-8\r\n");
    else
        Respond(id, 404, "Not Found\n", &request);
}

// request: none for a head that could not be read, which ends the connection.
void MetricsServer::Respond(quint64 id, int status, const QByteArray &body, const HttpRequest *request,
                            const QByteArray &extraHeaders)
{
    const auto found = connections.find(id);
    if (found == connections.end())
        return;
    Connection &c = *found->second;
    c.keepAlive = request && request->KeepAlive() && !request->HasBody();
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    if (status == 401)
        answer += "WWW-Authenticate: Basic realm=\"orvexctl exporter\", charset=\"UTF-8\"\r\n";
    if (!extraHeaders.contains("Content-Type"))
        answer += "Content-Type: text/plain; charset=utf-8\r\n";
    answer += extraHeaders;
    if (config) {
        for (const auto &[name, value] : config->Headers())
            answer += name + ": " + value + "\r\n";
    }
    answer += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!c.keepAlive)
        answer += "Connection: close\r\n";
    answer += "\r\n";
    if (!request || request->method != "HEAD")
        answer += body;
    c.state = Connection::State::Writing;
    c.deadline->start(kWriteTimeoutMs);
    c.socket->write(answer);
}

void MetricsServer::OnWritten(quint64 id)
{
    const auto found = connections.find(id);
    if (found == connections.end() || found->second->state != Connection::State::Writing ||
        found->second->socket->bytesToWrite() > 0)
        return;
    Connection &c = *found->second;
    if (!c.keepAlive) {
        c.state = Connection::State::Closing; // the write time limit still runs, for a flush that never ends
        c.socket->disconnectFromHost();
        return;
    }
    c.state = Connection::State::Reading;
    c.idle = true;
    c.deadline->start(kIdleTimeoutMs);
    if (!c.pending.isEmpty() || c.socket->bytesAvailable() > 0)
        OnReadable(id);
}

void MetricsServer::Close(quint64 id)
{
    const auto found = connections.find(id);
    if (found == connections.end())
        return;
    QTcpSocket *socket = found->second->socket;
    QTimer *deadline = found->second->deadline;
    connections.erase(found);
    deadline->stop();
    disconnect(deadline, nullptr, this, nullptr);
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
}

void MetricsServer::MakeRoom()
{
    const auto quietest = std::min_element(connections.begin(), connections.end(), [](const auto &a, const auto &b) {
        return a.second->lastActive < b.second->lastActive;
    });
    if (quietest != connections.end())
        Close(quietest->first);
}
