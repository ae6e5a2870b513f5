// --listen: a literal address only, so that what is bound is exactly what was asked for.
#include "ListenAddress.h"

namespace {
ListenParse Malformed(const QString &why)
{
    return {std::nullopt, why};
}

std::optional<quint16> PortOf(const QString &text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > 0x7f)
            return std::nullopt;
    }
    const int port = text.toInt();
    return port <= 65535 ? std::optional<quint16>(static_cast<quint16>(port)) : std::nullopt;
}
} // namespace

ListenParse ParseListenAddress(const QString &text)
{
    if (text.isEmpty())
        return Malformed(QStringLiteral("it is empty; give ADDRESS:PORT, such as 127.0.0.1:9810 or [::1]:9810"));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char(' ')))
        return Malformed(QStringLiteral("it takes one address, not a list; [::]:9810 serves every address of this "
                                        "machine"));
    QString host;
    QString port;
    bool bracketed = false;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return Malformed(QStringLiteral("the \"[\" of an IPv6 address has no \"]\""));
        if (text.mid(close + 1, 1) != QStringLiteral(":"))
            return Malformed(
                QStringLiteral("no port after the address; give it as [ADDRESS]:PORT, such as [::1]:9810"));
        host = text.mid(1, close - 1);
        port = text.mid(close + 2);
        bracketed = true;
    } else {
        const qsizetype colons = text.count(QLatin1Char(':'));
        if (colons > 1)
            return Malformed(QStringLiteral("an IPv6 address goes in brackets, as in [::1]:9810"));
        if (colons == 1) {
            host = text.left(text.indexOf(QLatin1Char(':')));
            port = text.mid(text.indexOf(QLatin1Char(':')) + 1);
        } else if (PortOf(text)) {
            port = text; // a port alone
        } else {
            return Malformed(QStringLiteral("no port; give ADDRESS:PORT, such as 127.0.0.1:9810"));
        }
    }
    const std::optional<quint16> number = PortOf(port);
    if (!number) {
        return Malformed(port.isEmpty() ? QStringLiteral("no port after the address")
                                        : QStringLiteral("\"%1\" is not a port (0 to 65535)").arg(port));
    }
    if (host.isEmpty() && bracketed)
        return Malformed(QStringLiteral("the brackets hold no address"));
    if (host.isEmpty() || host == QStringLiteral("localhost"))
        return {ListenAddress{QHostAddress(QHostAddress::LocalHost), *number, QStringLiteral("127.0.0.1")}, {}};

    QHostAddress address;
    if (!address.setAddress(host)) {
        return Malformed(QStringLiteral("\"%1\" is not an IP address (names other than localhost are not looked up; "
                                        "give 127.0.0.1, [::1] or an address of this machine)")
                             .arg(host));
    }
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    if (v6 != bracketed) {
        return Malformed(v6 ? QStringLiteral("an IPv6 address goes in brackets, as in [::1]:9810")
                            : QStringLiteral("only an IPv6 address goes in brackets"));
    }
    if (v6 && address == QHostAddress(QHostAddress::AnyIPv6))
        address = QHostAddress(QHostAddress::Any); // every address, IPv4 too, as other exporters do
    return {ListenAddress{address, *number, v6 ? QStringLiteral("[%1]").arg(host) : host}, {}};
}
