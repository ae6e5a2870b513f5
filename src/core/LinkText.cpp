// Bytes read from the line as text, frames and the controller's reply.
#include "LinkText.h"

QString LineText(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QString::fromLatin1(zero < 0 ? bytes : bytes.left(zero));
}

bool IsMonitorFrame(const QString &text)
{
    return text.contains(QLatin1Char('<')) && text.contains(QStringLiteral("PWM:")) &&
           text.contains(QStringLiteral("Alarm:")) && text.contains(QLatin1Char('>'));
}

QString JoinReplyPieces(const std::array<QString, 6> &pieces)
{
    QString joined = pieces[2] + pieces[3] + pieces[4] + pieces[5];
    joined.remove(kControllerMenuLine);
    return joined;
}
