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
    connect(&transfer, &CTransferDriver::replyArrived, this, &CControllerLink::replyArrived);
    // The poll reads the reply every second once the image is on its way, and every two seconds
    // after a download.
    connect(&transfer, &CTransferDriver::stepSent, this, [this](DownloadExchange::Step step) {
        if (step == DownloadExchange::Step::SendFirstHalf)
            pollTimer.start(LinkPoll::kPeriod);
    });
    connect(&transfer, &CTransferDriver::jobEnded, this, [this](CTransferDriver::Job job) {
        if (job == CTransferDriver::Job::Download)
            pollTimer.start(LinkPoll::kPeriodAfterDownload);
    });
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

bool CControllerLink::NoticeShown() const
{
    return noticeShown && view.StatusText() == *noticeShown;
}

void CControllerLink::WithdrawNotice()
{
    if (NoticeShown())
        view.SetStatusText(QString());
    noticeShown.reset();
}

void CControllerLink::CountPollWithoutFrame(bool silent)
{
    // The seventh poll in a row without a frame says why nothing happens, rather than nothing.
    if (++pollsWithoutFrame == LinkPoll::kSilentPollsBeforeReset + 2)
        ShowNotice(silent ? SilentText(settings.device) : NoiseText(settings.device));
}

void CControllerLink::OnPollTimer()
{
    dialogs.Guarded([this] { Poll(); });
}

void CControllerLink::Poll()
{
    if (!PollEnabled() || !portConnected)
        return;
    if (deviceRemovalSeen) {
        RemovalSequence();
        return;
    }
    QByteArray bytes;
    try {
        bytes = port.Read(LinkPoll::kReadCapacity);
    } catch (const CSerialException &) {
        if (!deviceRemovalSeen)
            throw;
        RemovalSequence();
        return;
    }
    if (bytes.isEmpty()) {
        if (emptyReadCount > LinkPoll::kSilentPollsBeforeReset) {
            // The display is cleared while the controller stays silent, but not the notice that
            // says why: it goes when a frame comes or another text takes its place.
            const bool keepNotice = NoticeShown();
            view.ClearLiveIndication();
            if (keepNotice)
                view.SetStatusText(*noticeShown);
            view.SetTransferButtons(false);
            emptyReadCount = 0;
        } else {
            ++emptyReadCount;
        }
        if (transfer.Stage() == ExchangeStage::Finish)
            CountPollWithoutFrame(true);
        return;
    }
    switch (transfer.Stage()) {
    case ExchangeStage::Finish:
        port.ClearReceiveBuffer(); // one read is one frame; the rest goes
        HandleMonitorFrame(LineText(bytes));
        break;
    case ExchangeStage::AlmostThere: transfer.TakeRead(bytes); break;
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
