// The window's side of the conversation with the controller: connecting, the poll, removal.
#pragma once

#include "DownloadExchange.h"
#include "MonitorFrame.h"
#include "PortList.h"
#include "SerialPort.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class ILinkView;
class WindowDialogs;

// Owns the serial port, the poll timer and all link state, and announces what arrives.
class CControllerLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int kReadCapacity = 70;
    static constexpr int kSilentPollsBeforeReset = 5;
    static constexpr int kPollPeriod = 1000;
    static constexpr int kPollPeriodAfterDownload = 2000;
    static inline const QString kCableRemoved =
        QStringLiteral("                  WARNING:\n Communication Cable Removed");
    // Said when the seventh poll in a row brings no frame: silence, or bytes that are no frame.
    static QString SilentText(const QString &device);
    static QString NoiseText(const QString &device);

    CControllerLink(ILinkView &view, WindowDialogs &dialogs);

    // While one lives, the poll and the chart editing wait; they go on when it goes, however the
    // holder leaves.
    class PollPause
    {
    public:
        explicit PollPause(CControllerLink &link) : link(link) { link.pollEnabled = false; }
        ~PollPause() { Resume(); }
        void Resume() { link.pollEnabled = true; }
        PollPause(const PollPause &) = delete;
        PollPause &operator=(const PollPause &) = delete;

    private:
        CControllerLink &link;
    };

    void Start() { pollTimer.start(kPollPeriod); }
    // The port the COM Setting dialog proposes first, as remembered from an earlier run.
    void ProposePort(const QString &device) { settings.device = device; }
    void OnBnClickedConnect();
    // One tick of the poll timer; a serial failure is shown in an error box.
    void OnPollTimer();
    void HandleMonitorFrame(const QString &text);

    bool Connected() const { return portConnected; }
    bool PollEnabled() const { return pollEnabled; }
    const ComSettings &Settings() const { return settings; }
    QTimer &PollTimer() { return pollTimer; }
    CSerialPort &Port() { return port; }
    // The download in progress, whose stage decides what the poll does with what it reads.
    DownloadExchange &Exchange() { return exchange; }
    const DownloadExchange &Exchange() const { return exchange; }
    float LiveValue() const { return liveValue; }
    const QString &LastReply() const { return lastReply; }
    int EmptyReadCount() const { return emptyReadCount; }

signals:
    void connectedChanged(bool connected);
    // A port opened: worth remembering for the next run.
    void portOpened(const QString &device);
    // A monitor frame shown while monitoring is on: readouts, live point and history listen.
    void readingArrived(const MonitorReading &reading);
    // The controller's answer to a download, as shown.
    void replyArrived(const QString &reply);
    // The device went away and the removal sequence has run.
    void linkLost();

private:
    void Poll();
    void SetConnected(bool connected);
    void RemovalSequence();
    // Shows a text of the link's own, or takes it away again while it is still shown.
    void ShowNotice(const QString &text);
    void WithdrawNotice();
    void CountPollWithoutFrame(bool silent);

    ILinkView &view;
    WindowDialogs &dialogs;
    CSerialPort port;
    QTimer pollTimer;
    DownloadExchange exchange;
    ComSettings settings;
    bool portConnected = false;
    bool deviceRemovalSeen = false;
    bool pollEnabled = true;
    int emptyReadCount = 0;
    int pollsWithoutFrame = 0;
    QString lastReply;
    // What monitoring last put in the status box: taken away only while the box still shows it.
    std::optional<QString> monitorTextShown;
    std::optional<QString> noticeShown;
    ThermistorFaultTracker thermistor;
    float liveValue = 0;
};
