// /metrics over HTTP or HTTPS on the event loop. A connection costs a little memory and no thread,
// so idle or slow clients hold up no scrape; each phase of a connection has a short time limit.
#pragma once

#include "ListenAddress.h"

#include <QByteArray>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <map>
#include <memory>
#include <set>

class QTcpSocket;
class WebConfig;
struct HttpRequest;

class MetricsServer : public QObject
{
    Q_OBJECT
public:
    // Beyond this the connection that was quiet longest makes way for the new one.
    static constexpr int kMaxConnections = 128;
    // From connecting (TLS handshake included), or from a request's first byte, to its whole head.
    static constexpr int kRequestTimeoutMs = 5000;
    // A kept connection between requests: longer than Prometheus' usual 15 s between scrapes.
    static constexpr int kIdleTimeoutMs = 30000;
    // For the client to take the answer.
    static constexpr int kWriteTimeoutMs = 10000;
    static constexpr qsizetype kHeadLimit = 8192;

    // metrics: the text format's body, made when a scrape asks. config: TLS and passwords, or none.
    explicit MetricsServer(std::function<QByteArray()> metrics, std::shared_ptr<const WebConfig> config = {},
                           QObject *parent = nullptr);
    ~MetricsServer() override;
    // Empty when listening, else why not, in plain words.
    QString Listen(const ListenAddress &address);
    quint16 Port() const;
    bool Secure() const;

private:
    class Listener;
    struct Connection;
    void Accept(qintptr descriptor);
    void OnReadable(quint64 id);
    void OnWritten(quint64 id);
    void Handle(quint64 id, const HttpRequest &request);
    void OnChecked(quint64 id, const QByteArray &key, bool granted, const HttpRequest &request);
    void Serve(quint64 id, const HttpRequest &request);
    void Respond(quint64 id, int status, const QByteArray &body, const HttpRequest *request,
                 const QByteArray &extraHeaders = {});
    void Close(quint64 id);
    void MakeRoom();

    std::function<QByteArray()> metrics;
    std::shared_ptr<const WebConfig> config;
    std::unique_ptr<Listener> listener;
    std::map<quint64, std::unique_ptr<Connection>> connections;
    quint64 nextId = 1;
    std::set<QByteArray> granted; // digests of user and password that bcrypt accepted
    QThreadPool checks;           // bcrypt off the event loop, one at a time
};
