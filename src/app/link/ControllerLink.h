// The window's side of the conversation with the controller: connecting, the poll, removal.
#pragma once

#include "LinkText.h"
#include "MonitorFrame.h"
#include "PortList.h"
#include "SerialPort.h"
#include "TransferDriver.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class ILinkView;
class WindowDialogs;

// Owns the serial port, the poll timer, the transfer driver that shares the port with the poll,
// and all link state; announces what arrives.
class CControllerLink : public QObject
{
    Q_OBJECT
public:
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

    void Start() { pollTimer.start(LinkPoll::kPeriod); }
    // The port the COM Setting dialog proposes first, as remembered from an earlier run.
    void ProposePort(const QString &device) { settings.device = device; }
    void OnBnClickedConnect();
    // One tick of the poll timer; a serial failure is shown in an error box.
    void OnPollTimer();
    void HandleMonitorFrame(const QString &text);

    bool Connected() const { return portConnected; }
    // The poll and the chart editing wait while an upload has the line.
    bool PollEnabled() const { return pollEnabled && transfer.Running() != CTransferDriver::Job::Upload; }
    const ComSettings &Settings() const { return settings; }
    // The transfers run here, on the link's port, beside the poll.
    CTransferDriver &Transfer() { return transfer; }
    ExchangeStage Stage() const { return transfer.Stage(); }
    // The poll timer to look at; tests stop it and tick the poll themselves.
    const QTimer &PollTimer() const { return pollTimer; }
    void StopPollTimer() { pollTimer.stop(); }
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
    bool NoticeShown() const;
    void CountPollWithoutFrame(bool silent);

    ILinkView &view;
    WindowDialogs &dialogs;
    CSerialPort port;
    QTimer pollTimer;
    CTransferDriver transfer{port};
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
