// The download's timed steps and the upload exchange, with the window locked around them.
#include "Transfers.h"

#include "ControllerLink.h"
#include "EntryRules.h"
#include "ModalUi.h"
#include "SerialException.h"
#include "UploadExchange.h"
#include "WindowViews.h"

#include <QEventLoop>

namespace {
void WaitKeepingThePaint(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

CTransfers::CTransfers(ITransferView &view, CControllerLink &link, WindowDialogs &dialogs)
    : view(view), link(link), dialogs(dialogs), wait(WaitKeepingThePaint)
{
    connect(&stepTimer, &QTimer::timeout, this, &CTransfers::OnStepTimer);
    connect(&progressTimer, &QTimer::timeout, this, &CTransfers::OnProgressTimer);
    connect(&link, &CControllerLink::replyArrived, this, &CTransfers::OnReplyArrived);
    connect(&link, &CControllerLink::linkLost, this, &CTransfers::AbortDownload);
}

void CTransfers::OnBnClickedDownload()
{
    view.CommitPendingEntry();
    view.ClearCursorMarker();
    view.ClearLiveIndication();
    view.SetProgressWhiteText(false);
    if (const std::optional<Refusal> refusal = CheckDownloadable(view.ShownProfile())) {
        dialogs.Warn(*refusal);
        return;
    }
    if (!link.Connected()) {
        dialogs.Warn(Refusals::NotConnected());
        return;
    }
    chartEditEnabled = false;
    transferWarning = true;
    view.SetTransferButtons(false);
    view.LockProfileControls();
    profileImage = view.BuildProfileImage();
    StartDownloadExchange();
}

void CTransfers::StartDownloadExchange()
{
    DownloadExchange &exchange = link.Exchange();
    exchange.Start();
    stepTimer.start(exchange.DownloadStep());
    progressTimer.start(DownloadExchange::kProgressPeriod);
}

void CTransfers::OnStepTimer()
{
    dialogs.Guarded([this] { StepTick(); });
}

void CTransfers::StepTick()
{
    if (transferWarning)
        view.SetStatusText(DownloadExchange::kCableWarning);
    DownloadExchange &exchange = link.Exchange();
    const DownloadExchange::Step step = exchange.StepDue();
    if (step == DownloadExchange::Step::End || step == DownloadExchange::Step::Idle) {
        EndDownload();
        return;
    }
    stepTimer.stop();
    try {
        link.Port().Write(DownloadExchange::BytesOf(step, profileImage));
    } catch (const CSerialException &) {
        AbortDownload();
        throw; // the error box tells what failed
    }
    if (step == DownloadExchange::Step::SendFirstHalf)
        link.PollTimer().start(CControllerLink::kPollPeriod);
    stepTimer.start(exchange.DownloadStep());
}

void CTransfers::OnProgressTimer()
{
    if (transferWarning)
        view.SetStatusText(DownloadExchange::kCableWarning);
    bool white = false;
    const int position = link.Exchange().ProgressTick(white);
    view.SetProgress(position);
    if (white)
        view.SetProgressWhiteText(true);
}

void CTransfers::OnReplyArrived(const QString &reply)
{
    transferWarning = false;
    view.EnableMonitorCheck();
    view.SetStatusText(reply);
}

void CTransfers::EndDownload()
{
    link.Exchange().Finish();
    stepTimer.stop();
    progressTimer.stop();
    view.SetProgress(0);
    view.SetProgressWhiteText(false);
    view.UnlockProfileControls();
    // A line that went away meanwhile leaves nothing to transfer to.
    view.SetTransferButtons(link.Connected());
    if (!link.Connected())
        view.SwitchMonitoringOff();
    link.PollTimer().start(CControllerLink::kPollPeriodAfterDownload);
    chartEditEnabled = true;
}

void CTransfers::AbortDownload()
{
    if (!link.Exchange().Running() && !progressTimer.isActive())
        return;
    transferWarning = false;
    EndDownload();
    view.SetStatusText(kDownloadFailed);
}

void CTransfers::OnBnClickedUpload()
{
    view.SetStatusText(DownloadExchange::kCableWarning);
    view.SwitchMonitoringOff();
    view.SetTransferButtons(false);
    CControllerLink::PollPause pause(link);
    UploadHooks hooks;
    hooks.wait = wait;
    hooks.progress = [this](int position, bool white) {
        view.SetProgressWhiteText(white);
        view.SetProgress(position);
    };

    UploadResult result;
    try {
        result = RunUpload(link.Port(), hooks);
    } catch (const CSerialException &) {
        // Whatever failed, the window goes on: polls, buttons and bar as they were.
        view.SetProgress(0);
        view.SetTransferButtons(link.Connected());
        throw;
    }

    if (result.outcome == UploadResult::NoProfile) {
        view.SetStatusText(kNoProfileText);
        wait(kUploadWait);
        view.SetTransferButtons(true);
        view.SetProgress(0);
        return;
    }
    if (result.outcome == UploadResult::ShortAnswer) {
        view.SetStatusText(kUploadShort);
        view.SetProgress(0);
        view.SetTransferButtons(true);
        return;
    }
    uploadImage = result.image;
    wait(kUploadWait);
    view.SetProgress(60);
    pause.Resume();
    wait(kUploadWait);
    view.SetProgress(0);
    view.ShowUploadedProfile(uploadImage);
    view.UnlockProfileControls();
    view.SetTransferButtons(false);
    view.SetDownloadButton(true);
    view.SetStatusText(kUploadDone);
}
