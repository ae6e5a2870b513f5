// What the tool reads off the line, as text.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Bytes read from the line, as the text they carry: 8-bit characters up to the first zero byte.
QString LineText(const QByteArray &bytes);

// A monitor frame has "<", "PWM:", "Alarm:" and ">" somewhere in it.
bool IsMonitorFrame(const QString &text);

// The controller's answer to a download, as shown: pieces 3 to 6, without its menu line.
inline const QString kControllerMenuLine = QStringLiteral("x - Test Mode, w - Configuration Mode");
QString JoinReplyPieces(const std::array<QString, 6> &pieces);
