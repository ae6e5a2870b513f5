// Connect and disconnect, the poll, monitor frames and the cable-removed sequence.
#include "ControllerLink.h"

#include "LinkText.h"
#include "ModalUi.h"
#include "SerialException.h"
#include "WindowViews.h"

CControllerLink::CControllerLink(ILinkView &view, WindowDialogs &dialogs) : view(view), dialogs(dialogs)
{
    connect(&port, &CSerialPort::connectionChanged, this, &CControllerLink::SetConnected);
    // A lost device is seen by the next poll, which runs the removal sequence.
    connect(&port, &CSerialPort::deviceLost, this, [this] { deviceRemovalSeen = true; });
    connect(&pollTimer, &QTimer::timeout, this, &CControllerLink::OnPollTimer);
}

void CControllerLink::SetConnected(bool connected)
{
    portConnected = connected;
    emit connectedChanged(connected);
}

void CControllerLink::OnBnClickedConnect()
{
    view.ClearLiveIndication();
    if (!portConnected) {
        SetConnected(false);
        port.Close();
        const std::optional<ComSettings> chosen = dialogs.ComSetting(settings);
        if (!chosen)
            return;
        settings = *chosen;
        emptyReadCount = 0;
        port.Open(settings.device, settings.baudRate);
        return;
    }
    port.Flush();
    port.Close();
    view.SetTransferButtons(false);
    view.SwitchMonitoringOff();
}

void CControllerLink::RemovalSequence()
{
    emit linkLost();
    view.ClearLiveIndication();
    deviceRemovalSeen = false;
    view.SwitchMonitoringOff();
    view.SetTransferButtons(false);
    SetConnected(false);
    view.SetStatusText(kCableRemoved);
    // The device is gone: let go of it quietly, nothing the user could act on is left to report.
    try {
        port.Purge(CSerialPort::PurgeRxAbort);
        port.Purge(CSerialPort::PurgeTxAbort);
    } catch (const CSerialException &) {
    }
    port.Close();
}

void CControllerLink::OnPollTimer()
{
    dialogs.Guarded([this] { Poll(); });
}

void CControllerLink::Poll()
{
    if (!pollEnabled || !portConnected)
        return;
    if (deviceRemovalSeen) {
        RemovalSequence();
        return;
    }
    QByteArray bytes;
    try {
        bytes = port.Read(kReadCapacity);
    } catch (const CSerialException &) {
        if (!deviceRemovalSeen)
            throw;
        RemovalSequence();
        return;
    }
    if (bytes.isEmpty()) {
        if (emptyReadCount > kSilentPollsBeforeReset) {
            view.ClearLiveIndication();
            view.SetTransferButtons(false);
            emptyReadCount = 0;
        } else {
            ++emptyReadCount;
        }
        return;
    }
    const QString text = LineText(bytes);
    switch (exchange.Stage()) {
    case ExchangeStage::Finish:
        port.ClearReceiveBuffer(); // one read is one frame; the rest goes
        HandleMonitorFrame(text);
        break;
    case ExchangeStage::AlmostThere:
        if (const std::optional<QString> reply = exchange.TakeReplyPiece(text))
            emit replyArrived(*reply);
        break;
    case ExchangeStage::Start: break; // the image is going out: nothing to read yet
    }
}

void CControllerLink::HandleMonitorFrame(const QString &text)
{
    if (!IsMonitorFrame(text))
        return;
    emptyReadCount = 0;
    view.SetTransferButtons(true);
    lastReply = text;
    if (!view.MonitoringEnabled()) {
        if (monitorTextShown) {
            view.SetStatusText(QString());
            monitorTextShown = false;
        }
        return;
    }
    monitorTextShown = true;
    // A frame without its readings changes nothing shown.
    if (std::optional<MonitorReading> reading = ParseMonitorFrame(lastReply)) {
        if (reading->alarm) {
            if (const std::optional<QString> alarmText = AlarmText(*reading->alarm, reading->kind))
                view.SetStatusText(*alarmText);
        }
        thermistor.Update(*reading);
        // The value follows the window's form, whatever the frame's kind.
        liveValue = view.ShownInputKind() == InputKind::Temperature ? reading->liveValue
                                                                    : static_cast<float>(reading->liveValue / 25.5);
        emit readingArrived(*reading);
    }
    ++emptyReadCount;
}
