// Where the exporter serves: one literal address and a port, IPv6 in brackets.
#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

struct ListenAddress
{
    QHostAddress host;
    quint16 port = 0;
    QString hostText; // as given, IPv6 in brackets: what the banner and the errors show
    QString Text() const { return QStringLiteral("%1:%2").arg(hostText).arg(port); }
};

struct ListenParse
{
    std::optional<ListenAddress> address;
    QString problem; // why the text is no address, when it is none
};

// "HOST:PORT", "[IPV6]:PORT", ":PORT" or "PORT" (both on 127.0.0.1). "[::]" is every address of the
// machine, IPv4 included; "localhost" is 127.0.0.1. Port 0 takes any free port.
ListenParse ParseListenAddress(const QString &text);
