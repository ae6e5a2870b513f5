// Bytes read from the line as text, frames and the controller's reply, and the link's texts.
#include "LinkText.h"

namespace {
// "<ADCT)142/ PWM: 255/ Alarm: 0>" and room to spare: anything longer after a "<" is no frame.
constexpr qsizetype kLongestFrame = 64;

// The end of a read may hold the start of a frame, which frames begin as "<ADC".
bool MayStartAFrame(const QString &tail)
{
    return tail.size() <= kLongestFrame && QStringLiteral("<ADC").startsWith(tail.left(4));
}
} // namespace

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

QString WithoutMonitorFrames(const QString &text, QString &unfinished)
{
    unfinished.clear();
    QString kept;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), at);
        if (open < 0) {
            kept += text.mid(at);
            break;
        }
        const qsizetype close = text.indexOf(QLatin1Char('>'), open);
        if (close < 0) {
            const qsizetype last = text.lastIndexOf(QLatin1Char('<'));
            if (MayStartAFrame(text.mid(last))) {
                kept += text.mid(at, last - at);
                unfinished = text.mid(last);
            } else {
                kept += text.mid(at);
            }
            break;
        }
        // A frame starts at the last "<" before its ">".
        const qsizetype start = text.lastIndexOf(QLatin1Char('<'), close);
        kept += text.mid(at, start - at);
        const QString candidate = text.mid(start, close - start + 1);
        if (!IsMonitorFrame(candidate))
            kept += candidate;
        at = close + 1;
    }
    return kept;
}

QString JoinReplyPieces(const std::array<QString, 6> &pieces)
{
    QString joined = pieces[2] + pieces[3] + pieces[4] + pieces[5];
    joined.remove(kControllerMenuLine);
    return joined;
}

QString SilentText(const QString &device)
{
    return QStringLiteral("The controller on %1 is not sending.\nCheck that it is powered and that this is its port.")
        .arg(device);
}

QString NoiseText(const QString &device)
{
    return QStringLiteral("The controller on %1 sends no readable frames.\nCheck the port, the cable and the "
                          "controller's baud rate (9600).")
        .arg(device);
}

QString NotConfirmedReason(int replyPieces)
{
    return QStringLiteral("the controller did not confirm the download (%1 of its 6 reply pieces came); the profile "
                          "may not be stored")
        .arg(replyPieces);
}
