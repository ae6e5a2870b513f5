// orvexctl exporter as a process, and HTTP(S) asked of it byte for byte, for the exporter's tests.
#pragma once

#include "OrvexctlProcess.h"

#include <QMap>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>

#include <memory>

class ExporterProcess
{
public:
    ExporterProcess(const QString &runtime, const QStringList &args, const QString &folder = {})
    {
        process.setProcessEnvironment(TestEnvironment(runtime));
        process.setWorkingDirectory(folder);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(ORVEXCTL), QStringList{QStringLiteral("exporter")} + args);
        static const QRegularExpression served(
            QStringLiteral("serving metrics of \\d+ port\\(s\\) at (https?)://.*:(\\d+)/metrics"));
        WaitUntil([&] {
            process.waitForReadyRead(50);
            const QRegularExpressionMatch match = served.match(Said());
            port = match.hasMatch() ? static_cast<quint16>(match.captured(2).toUInt()) : 0;
            return port != 0 || process.state() == QProcess::NotRunning;
        });
    }
    ~ExporterProcess() { Stop(); }
    // What it said on stderr so far.
    QString Said()
    {
        while (process.waitForReadyRead(0)) // takes in what waits in the pipe, without an event loop
            ;
        said += process.readAllStandardError();
        return QString::fromUtf8(said);
    }
    int Stop()
    {
        if (process.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
            process.waitForFinished(10000);
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QProcess process;
    quint16 port = 0; // 0 when it never said where it serves
    QByteArray said;
};

struct Answer
{
    int status = 0; // 0: no HTTP answer
    QByteArray head;
    QByteArray body;
    QByteArray Header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return {};
    }
};

// How to reach the exporter: over TLS, with a password, from a host.
struct Reach
{
    explicit Reach(const QString &host = QStringLiteral("127.0.0.1")) : host(host) {}
    QString host;
    bool tls = false;
    QList<QSslCertificate> trusted; // the certificate the server must show
    QSslCertificate clientCertificate;
    QSslKey clientKey;
    QByteArray authorization; // "user:password", sent as basic authentication
};

// A connected socket, encrypted when asked; none when it could not get there.
inline std::unique_ptr<QTcpSocket> Connect(quint16 port, const Reach &reach, int timeoutMs)
{
    if (!reach.tls) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(reach.host, port);
        return socket->waitForConnected(timeoutMs) ? std::move(socket) : nullptr;
    }
    auto socket = std::make_unique<QSslSocket>();
    QSslConfiguration configuration = socket->sslConfiguration();
    configuration.setCaCertificates(reach.trusted);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!reach.clientCertificate.isNull()) {
        configuration.setLocalCertificate(reach.clientCertificate);
        configuration.setPrivateKey(reach.clientKey);
    }
    socket->setSslConfiguration(configuration);
    socket->connectToHostEncrypted(reach.host, port);
    return socket->waitForEncrypted(timeoutMs) ? std::move(socket) : nullptr;
}

// The bytes the server sends until it closes the connection or the bound passes.
inline QByteArray ReadToClose(QTcpSocket &socket, int timeoutMs)
{
    QByteArray bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        bytes += socket.readAll();
    }
    return bytes + socket.readAll();
}

inline Answer ParseAnswer(const QByteArray &bytes)
{
    Answer answer;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (!bytes.startsWith("HTTP/1.1 ") || end < 0)
        return answer;
    answer.status = bytes.mid(9, 3).toInt();
    answer.head = bytes.left(end);
    answer.body = bytes.mid(end + 4);
    return answer;
}

// One request on a connection of its own, the answer read until the server closes it.
inline Answer Ask(quint16 port, const QByteArray &method, const QByteArray &path, const Reach &reach = Reach(),
                  int timeoutMs = 10000)
{
    const std::unique_ptr<QTcpSocket> socket = Connect(port, reach, timeoutMs);
    if (!socket)
        return {};
    QByteArray request =
        method + ' ' + path + " HTTP/1.1\r\nHost: " + reach.host.toUtf8() + "\r\nConnection: close\r\n";
    if (!reach.authorization.isEmpty())
        request += "Authorization: Basic " + reach.authorization.toBase64() + "\r\n";
    socket->write(request + "\r\n");
    return ParseAnswer(ReadToClose(*socket, timeoutMs));
}

// Samples of the text format: "name{port=\"...\"}" to value.
inline QMap<QString, double> Samples(const QByteArray &body)
{
    QMap<QString, double> values;
    static const QRegularExpression sample(QStringLiteral("^(orvex_[a-z_]+\\{[^}]*\\}) (\\S+)$"));
    for (const QByteArray &line : body.split('\n')) {
        const QRegularExpressionMatch m = sample.match(QString::fromUtf8(line));
        if (m.hasMatch())
            values.insert(m.captured(1), m.captured(2).toDouble());
    }
    return values;
}

inline QMap<QString, double> Scrape(quint16 port, const Reach &reach = Reach())
{
    const Answer answer = Ask(port, "GET", "/metrics", reach);
    return answer.status == 200 ? Samples(answer.body) : QMap<QString, double>{};
}

inline QString Series(const char *name, const QString &port)
{
    return QStringLiteral("%1{port=\"%2\"}").arg(QString::fromLatin1(name), port);
}
