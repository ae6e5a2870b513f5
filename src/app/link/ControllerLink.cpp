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

QString CControllerLink::SilentText(const QString &device)
{
    return QStringLiteral("The controller on %1 is not sending.\nCheck that it is powered and that this is its port.")
        .arg(device);
}

QString CControllerLink::NoiseText(const QString &device)
{
    return QStringLiteral("The controller on %1 sends no readable frames.\nCheck the port, the cable and the "
                          "controller's baud rate (9600).")
        .arg(device);
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
        pollsWithoutFrame = 0;
        // A cable pulled just before Disconnect was never polled; it is not this port's.
        deviceRemovalSeen = false;
        // A new controller: nothing seen of the last one counts any more.
        thermistor.Reset();
        monitorTextShown.reset();
        noticeShown.reset();
        port.Open(settings.device, settings.baudRate);
        emit portOpened(settings.device);
        return;
    }
    port.Flush();
    port.Close();
    view.SetTransferButtons(false);
    view.SwitchMonitoringOff();
}

void CControllerLink::RemovalSequence()
{
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
    emit linkLost();
}

void CControllerLink::ShowNotice(const QString &text)
{
    view.SetStatusText(text);
    noticeShown = text;
}

void CControllerLink::WithdrawNotice()
{
    if (noticeShown && view.StatusText() == *noticeShown)
        view.SetStatusText(QString());
    noticeShown.reset();
}

void CControllerLink::CountPollWithoutFrame(bool silent)
{
    // The seventh poll in a row without a frame says why nothing happens, rather than nothing.
    if (++pollsWithoutFrame == kSilentPollsBeforeReset + 2)
        ShowNotice(silent ? SilentText(settings.device) : NoiseText(settings.device));
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
        if (exchange.Stage() == ExchangeStage::Finish)
            CountPollWithoutFrame(true);
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
    if (!IsMonitorFrame(text)) {
        CountPollWithoutFrame(false);
        return;
    }
    emptyReadCount = 0;
    pollsWithoutFrame = 0;
    WithdrawNotice();
    view.SetTransferButtons(true);
    lastReply = text;
    if (!view.MonitoringEnabled()) {
        // Only monitoring's own text goes: a download's reply or an upload's result stays.
        if (monitorTextShown && view.StatusText() == *monitorTextShown)
            view.SetStatusText(QString());
        monitorTextShown.reset();
        return;
    }
    // A frame without its readings changes nothing shown.
    if (std::optional<MonitorReading> reading = ParseMonitorFrame(lastReply)) {
        if (reading->alarm) {
            if (const std::optional<QString> alarmText = AlarmText(*reading->alarm, reading->kind))
                view.SetStatusText(*alarmText);
        }
        thermistor.Update(*reading);
        liveValue = ShownValue(reading->liveValue, view.ShownInputKind() == InputKind::Temperature);
        emit readingArrived(*reading);
    }
    monitorTextShown = view.StatusText();
    ++emptyReadCount;
}
