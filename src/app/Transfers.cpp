#include "Transfers.h"

#include "GradientProgressCtrl.h"
#include "PlexaDlg.h"
#include "SerialException.h"
#include "UploadExchange.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <QLineEdit>

namespace {
void WaitKeepingThePaint(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

CTransfers::CTransfers(CPlexaDlg &window) : wait(WaitKeepingThePaint), window(window) {}

QList<QWidget *> CTransfers::LockedControls() const
{
    const ProfileControls &p = window.Profile();
    QList<QWidget *> list{p.tachoDependentAlarm, p.alarmActiveState, p.enableMultipoint, p.inputControlType,
                          window.Control(1007), window.Control(1004), p.fanSpeedBottomBand, p.fanSpeedTopBand,
                          p.highAlarm, p.lowAlarm, p.lowShutOff, p.outputControlType, p.speedCap,
                          window.Control(1003), p.softwareNumber, p.versionNumber, p.bottomBand, p.topBand,
                          window.Control(1005), p.invertPwmOutput, window.Control(1006)};
    return list;
}

void CTransfers::LockProfileControls()
{
    window.SwitchMonitoringOff();
    for (QWidget *control : LockedControls())
        control->setEnabled(false);
}

void CTransfers::UnlockProfileControls()
{
    window.EnableMonitorCheck();
    for (QWidget *control : LockedControls())
        control->setEnabled(true);
    if (window.Profile().enableMultipoint->isChecked()) {
        for (QWidget *field : window.BandFields())
            field->setEnabled(false);
    }
}

void CTransfers::OnBnClickedDownload()
{
    window.CommitPendingEntry();
    window.Plot().ClearCursorMarker();
    window.ClearLiveIndication();
    window.chartEditEnabled = false;
    window.transferWarning = true;
    window.Progress().SetTextColor(Qt::black);

    const ProfileControls &p = window.Profile();
    if (!p.enableMultipoint->isChecked()) {
        bool unset = false;
        for (const QLineEdit *band : {p.fanSpeedTopBand, p.fanSpeedBottomBand, p.topBand, p.bottomBand}) {
            const QString text = band->text();
            unset = unset || text == QStringLiteral("N/A") || text.isEmpty() || text == QStringLiteral("Error");
        }
        unset = unset || p.lowShutOff->currentText().isEmpty() || p.highAlarm->currentText().isEmpty();
        if (unset) {
            window.ModalUi().MessageBox(&window, QStringLiteral("Set empty field parameters or switch to Multipoint mode."),
                                        QStringLiteral("Parameters Not Set."), MsgIcon::Warning, MsgButtons::Ok);
            window.chartEditEnabled = true;
            window.transferWarning = false;
            return;
        }
    }
    if (!window.portConnected) {
        window.ModalUi().MessageBox(&window, QStringLiteral("Connect to Com Port"),
                                    QStringLiteral("App not connected to Com port."), MsgIcon::Warning, MsgButtons::Ok);
        window.chartEditEnabled = true;
        window.transferWarning = false;
        return;
    }
    window.SetTransferButtons(false);
    LockProfileControls();
    window.BuildProfileImage();
    StartDownloadExchange();
}

void CTransfers::StartDownloadExchange()
{
    window.exchangeStage = QStringLiteral("START");
    window.Link().replyChunkCount = 0;
    exchange.Start();
    window.SetTimer(CPlexaDlg::kDownloadStepTimer, exchange.DownloadStep());
    window.SetTimer(CPlexaDlg::kProgressTimer, DownloadExchange::kProgressPeriod);
}

void CTransfers::OnStepTimer()
{
    if (window.transferWarning)
        window.SetStatusText(DownloadExchange::kCableWarning);
    const DownloadExchange::Step step = exchange.StepDue();
    if (step == DownloadExchange::Step::End || step == DownloadExchange::Step::Idle) {
        EndDownload();
        return;
    }
    window.KillTimer(CPlexaDlg::kDownloadStepTimer);
    try {
        window.Link().Port().Write(DownloadExchange::BytesOf(step, window.profileImage));
    } catch (const CSerialException &) {
        AbortDownload();
        throw; // the error box tells what failed
    }
    if (step == DownloadExchange::Step::SendFirstHalf)
        window.SetTimer(CPlexaDlg::kPollTimer, 1000);
    if (step == DownloadExchange::Step::SendSecondHalf)
        window.exchangeStage = QStringLiteral("Almost_there");
    window.SetTimer(CPlexaDlg::kDownloadStepTimer, exchange.DownloadStep());
}

void CTransfers::OnProgressTimer()
{
    if (window.transferWarning)
        window.SetStatusText(DownloadExchange::kCableWarning);
    bool white = false;
    const int position = exchange.ProgressTick(white);
    window.Progress().SetPos(position);
    if (white)
        window.Progress().SetTextColor(Qt::white);
}

void CTransfers::EndDownload()
{
    window.exchangeStage = QStringLiteral("Finish");
    exchange.Finish();
    window.KillTimer(CPlexaDlg::kDownloadStepTimer);
    window.KillTimer(CPlexaDlg::kProgressTimer);
    window.Progress().SetPos(0);
    window.Progress().SetTextColor(Qt::black);
    UnlockProfileControls();
    // A line that went away meanwhile leaves nothing to transfer to.
    window.SetTransferButtons(window.portConnected);
    if (!window.portConnected)
        window.SwitchMonitoringOff();
    window.SetTimer(CPlexaDlg::kPollTimer, 2000);
    window.chartEditEnabled = true;
}

void CTransfers::AbortDownload()
{
    if (!exchange.Running() && !window.TimerActive(CPlexaDlg::kProgressTimer))
        return;
    window.transferWarning = false;
    EndDownload();
    window.SetStatusText(kDownloadFailed);
}

void CTransfers::OnBnClickedUpload()
{
    window.SetStatusText(DownloadExchange::kCableWarning);
    window.SwitchMonitoringOff();
    window.SetTransferButtons(false);
    window.pollEnabled = false;
    CGradientProgressCtrl &bar = window.Progress();
    UploadHooks hooks;
    hooks.wait = wait;
    hooks.progress = [&bar](int position, bool white) {
        bar.SetTextColor(white ? Qt::white : Qt::black);
        bar.SetPos(position);
    };

    UploadResult result;
    try {
        result = RunUpload(window.Link().Port(), hooks);
    } catch (const CSerialException &) {
        // Whatever failed, the window goes on: polls, buttons and bar as they were.
        window.pollEnabled = true;
        bar.SetPos(0);
        window.SetTransferButtons(window.portConnected);
        throw;
    }

    if (result.outcome == UploadResult::NoProfile) {
        window.SetStatusText(kNoProfileText);
        wait(kUploadWait);
        window.SetTransferButtons(true);
        bar.SetPos(0);
        window.pollEnabled = true;
        return;
    }
    if (result.outcome == UploadResult::ShortAnswer) {
        window.SetStatusText(kUploadShort);
        bar.SetPos(0);
        window.pollEnabled = true;
        window.SetTransferButtons(true);
        return;
    }
    window.uploadImage = result.image;
    wait(kUploadWait);
    bar.SetPos(60);
    window.pollEnabled = true;
    wait(kUploadWait);
    bar.SetPos(0);
    window.DecodeProfileImage(window.uploadImage.data(), true);
    UnlockProfileControls();
    window.SetTransferButtons(false);
    window.Control(1004)->setEnabled(true);
    window.SetStatusText(kUploadDone);
}
