#pragma once

#include "SerialPort.h"

#include <QString>

#include <array>

class CPlexaDlg;

// The window's side of the conversation with the controller: connecting, the poll, removal.
class CControllerLink
{
public:
    static constexpr int kReadCapacity = 70;
    static constexpr int kSilentPollsBeforeReset = 5;
    static inline const QString kCableRemoved = QStringLiteral("                  WARNING:\n Communication Cable Removed");

    explicit CControllerLink(CPlexaDlg &window);

    void OnBnClickedConnect();
    // One tick of the poll timer.
    void Poll();
    void HandleMonitorFrame(const QString &text);
    CSerialPort &Port() { return port; }

    int emptyReadCount = 0;
    std::array<QString, 6> replyChunks;
    int replyChunkCount = 0;
    QString lastReply;
    bool monitorTextShown = false;
    bool thermistorShort = false;
    bool thermistorOpen = false;
    float livePointX = 0;
    float pwmPercent = 0;
    int pwmValue = 0;

private:
    void RemovalSequence();

    CPlexaDlg &window;
    CSerialPort port;
};
