#include "ControllerLink.h"

#include "LinkText.h"
#include "MonitorFrame.h"
#include "PlexaDlg.h"
#include "SerialException.h"

#include <QComboBox>

CControllerLink::CControllerLink(CPlexaDlg &window) : window(window)
{
    port.onConnectionChanged = [this](bool connected) { this->window.SetConnectedLook(connected); };
    port.onDeviceRemoved = [this] { this->window.OnDeviceChange(CPlexaDlg::kDeviceRemoveComplete); };
}

void CControllerLink::OnBnClickedConnect()
{
    window.ClearLiveIndication();
    if (!window.portConnected) {
        window.SetConnectedLook(false);
        port.Close();
        const ComSettings current{window.portDevice, window.portNumber, window.baudRate};
        const std::optional<ComSettings> chosen = window.ModalUi().RunComSetting(&window, current);
        if (!chosen)
            return;
        window.portDevice = chosen->device;
        window.portNumber = chosen->portNumber;
        window.baudRate = chosen->baudRate;
        emptyReadCount = 0;
        port.Open(window.portDevice, window.baudRate);
        return;
    }
    port.Flush();
    port.Close();
    window.SetTransferButtons(false);
    window.SwitchMonitoringOff();
}

void CControllerLink::RemovalSequence()
{
    window.Transfers().AbortDownload();
    window.ClearLiveIndication();
    window.deviceRemovalSeen = false;
    window.SwitchMonitoringOff();
    window.SetTransferButtons(false);
    window.SetConnectedLook(false);
    window.SetStatusText(kCableRemoved);
    // The device is gone: let go of it quietly, nothing the user could act on is left to report.
    try {
        port.Purge(CSerialPort::PurgeRxAbort);
        port.Purge(CSerialPort::PurgeTxAbort);
    } catch (const CSerialException &) {
    }
    port.Close();
}

void CControllerLink::Poll()
{
    if (!window.pollEnabled || !window.portConnected)
        return;
    if (window.deviceRemovalSeen) {
        RemovalSequence();
        return;
    }
    port.SetNonBlockingReads();
    QByteArray bytes;
    try {
        bytes = port.Read(kReadCapacity);
    } catch (const CSerialException &) {
        if (!window.deviceRemovalSeen)
            throw;
        RemovalSequence();
        return;
    }
    if (bytes.isEmpty()) {
        if (emptyReadCount > kSilentPollsBeforeReset) {
            window.ClearLiveIndication();
            window.SetTransferButtons(false);
            emptyReadCount = 0;
        } else {
            ++emptyReadCount;
        }
        return;
    }
    const QString text = LineText(bytes);
    if (window.exchangeStage == QStringLiteral("Finish")) {
        port.ClearReceiveBuffer(); // one read is one frame; the rest goes
        HandleMonitorFrame(text);
    } else if (window.exchangeStage == QStringLiteral("Almost_there")) {
        replyChunks[static_cast<std::size_t>(replyChunkCount)] = text;
        if (++replyChunkCount == static_cast<int>(replyChunks.size())) {
            window.transferWarning = false;
            window.EnableMonitorCheck();
            window.SetStatusText(JoinReplyPieces(replyChunks));
            replyChunkCount = 0;
        }
    }
}

void CControllerLink::HandleMonitorFrame(const QString &text)
{
    if (!IsMonitorFrame(text))
        return;
    emptyReadCount = 0;
    window.SetTransferButtons(true);
    lastReply = text;
    if (!window.monitoringEnabled) {
        if (monitorTextShown) {
            window.SetStatusText(QString());
            monitorTextShown = false;
        }
        return;
    }
    monitorTextShown = true;
    // A frame without its readings changes nothing shown.
    if (const std::optional<MonitorReading> reading = ParseMonitorFrame(lastReply)) {
        if (reading->alarm) {
            const bool temperature = reading->kind == MonitorReading::Temperature;
            if (const std::optional<QString> text = AlarmText(*reading->alarm, reading->kind))
                window.SetStatusText(*text);
            if (temperature && *reading->alarm == 0)
                thermistorShort = thermistorOpen = false;
            else if (temperature && *reading->alarm == 1)
                thermistorShort = true;
            else if (temperature && *reading->alarm == 2)
                thermistorOpen = true;
            else if (temperature && (*reading->alarm == 4 || *reading->alarm == 5))
                thermistorShort = thermistorOpen = false;
        }
        livePointX = reading->livePointX;
        pwmPercent = reading->pwmPercent;
        pwmValue = reading->pwmValue;
        window.Plot().ShowLivePoint(livePointX, pwmPercent);

        // The reading follows the window's input type, whatever the frame's kind.
        const bool temperature = window.Profile().inputControlType->currentText() == QStringLiteral("Temperature");
        const QString value = ReadingText(reading->liveValue, temperature, thermistorShort || thermistorOpen);
        window.liveValue = temperature ? reading->liveValue : static_cast<float>(reading->liveValue / 25.5);
        if (pwmValue == 99)
            pwmValue = 100;
        window.SetReadouts(value, PwmText(pwmValue));
    }
    ++emptyReadCount;
}
