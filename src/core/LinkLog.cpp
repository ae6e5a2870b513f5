// Logging categories of the line and the exchanges, and the form of a traced byte.
#include "LinkLog.h"

#include <QDateTime>
#include <QStringList>

// Debug messages only: off by default, and nothing is formatted while they are off.
Q_LOGGING_CATEGORY(lcSerial, "orvex.serial", QtInfoMsg)
Q_LOGGING_CATEGORY(lcExchange, "orvex.exchange", QtInfoMsg)

void EnableLinkTrace()
{
    QLoggingCategory::setFilterRules(QStringLiteral("orvex.serial.debug=true\norvex.exchange.debug=true"));
}

QString TraceTime()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QStringList TraceLines(const QString &device, const char *direction, const QByteArray &bytes)
{
    constexpr qsizetype kPerLine = 16;
    const QString time = TraceTime();
    QStringList lines;
    for (qsizetype offset = 0; offset < bytes.size(); offset += kPerLine) {
        const QByteArray chunk = bytes.mid(offset, kPerLine);
        QString printable;
        for (char c : chunk)
            printable += (c >= 0x20 && c < 0x7f) ? QLatin1Char(c) : QLatin1Char('.');
        lines << QStringLiteral("%1 %2 %3 %4  %5  |%6|")
                     .arg(time, device, QLatin1String(direction))
                     .arg(offset, 4, 16, QLatin1Char('0'))
                     .arg(QString::fromLatin1(chunk.toHex(' ')), -(kPerLine * 3 - 1))
                     .arg(printable);
    }
    return lines;
}
