// --web-config: TLS and basic authentication in the web configuration format of Prometheus'
// exporters, so that the same file serves orvexctl exporter and node_exporter alike.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSslConfiguration>
#include <QString>

#include <map>
#include <optional>
#include <variant>

class WebConfig
{
public:
    // The file read and checked, certificate and key tried in a handshake; else the refusal,
    // naming the file and, where there is one, the line.
    static std::variant<WebConfig, QString> Load(const QString &path);

    const std::optional<QSslConfiguration> &Tls() const { return tls; }
    bool AsksPassword() const { return !users.empty(); }
    // Whether password is user's. Takes bcrypt's time (tens of milliseconds): keep it off the event loop.
    bool CheckPassword(const QByteArray &user, const QByteArray &password) const;
    // Added to every answer.
    const QList<QPair<QByteArray, QByteArray>> &Headers() const { return headers; }

private:
    std::optional<QSslConfiguration> tls;   // none: plain HTTP
    std::map<QByteArray, QByteArray> users; // name to bcrypt hash
    QList<QPair<QByteArray, QByteArray>> headers;
};
