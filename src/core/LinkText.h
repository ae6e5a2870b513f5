// What the tool reads off the line, as text, and what it says about the line.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Bytes read from the line, as the text they carry: 8-bit characters up to the first zero byte.
QString LineText(const QByteArray &bytes);

// A monitor frame has "<", "PWM:", "Alarm:" and ">" somewhere in it.
bool IsMonitorFrame(const QString &text);

// The text without the monitor frames in it: a frame is no part of the controller's reply. The
// start of a frame at the end, whose ">" has not come yet, goes to `unfinished`, for the caller to
// put before the next read.
QString WithoutMonitorFrames(const QString &text, QString &unfinished);

// The controller's answer to a download, as shown: pieces 3 to 6, without its menu line.
inline const QString kControllerMenuLine = QStringLiteral("x - Test Mode, w - Configuration Mode");
QString JoinReplyPieces(const std::array<QString, 6> &pieces);

// The poll: how often it reads, and how much.
namespace LinkPoll {
inline constexpr int kReadCapacity = 70;
inline constexpr int kPeriod = 1000;
inline constexpr int kPeriodAfterDownload = 2000;
// Empty polls after which the display is cleared: the seventh one.
inline constexpr int kSilentPollsBeforeReset = 5;
} // namespace LinkPoll

// The link's texts, the window's and orvexctl's alike.
inline const QString kCableWarning =
    QStringLiteral("                        WARNING:\n DO NOT REMOVE COMMUNICATION CABLE");
inline const QString kCableRemovedReason = QStringLiteral("Communication Cable Removed");
inline const QString kCableRemoved = QStringLiteral("                  WARNING:\n Communication Cable Removed");
inline const QString kNoProfileReason = QStringLiteral("NO PROFILE FOUND ON CONTROLLER");
inline const QString kNoProfileText = QStringLiteral(
    "NO PROFILE FOUND ON CONTROLLER\nPlease create/open a profile and press 'Download to Controller' button ");
// Said when the seventh poll in a row brings no frame: silence, or bytes that are no frame.
QString SilentText(const QString &device);
QString NoiseText(const QString &device);
// A download whose reply did not come whole: the controller may hold part of the profile.
QString NotConfirmedReason(int replyPieces);
