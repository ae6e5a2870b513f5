// The download's timed steps, the upload exchange and the download's read-back, with the window
// locked around them.
#include "Transfers.h"

#include "ControllerLink.h"
#include "EntryRules.h"
#include "ModalUi.h"
#include "ProfileCompare.h"
#include "SerialException.h"
#include "UploadExchange.h"
#include "WindowViews.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>

namespace {

// While the window waits for the controller, input is dropped rather than held back: held input
// would run after the wait, on a window that has changed under it.
class InputDiscarder : public QObject
{
public:
    InputDiscarder() { qApp->installEventFilter(this); }
    ~InputDiscarder() override { qApp->removeEventFilter(this); }
    InputDiscarder(const InputDiscarder &) = delete;
    InputDiscarder &operator=(const InputDiscarder &) = delete;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease: return true;
        case QEvent::Close: event->ignore(); return true; // not in the middle of a transfer
        default: return false;
        }
    }
};
} // namespace

QString CTransfers::UploadedTitle(const QString &device)
{
    return QStringLiteral("Uploaded from %1 - %2").arg(device, WindowDialogs::kTitle);
}

void CTransfers::KeepPaintingFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

CTransfers::CTransfers(ITransferView &view, CControllerLink &link, WindowDialogs &dialogs)
    : view(view), link(link), dialogs(dialogs), wait(KeepPaintingFor)
{
    connect(&stepTimer, &QTimer::timeout, this, &CTransfers::OnStepTimer);
    connect(&progressTimer, &QTimer::timeout, this, &CTransfers::OnProgressTimer);
    connect(&link, &CControllerLink::replyArrived, this, &CTransfers::OnReplyArrived);
    connect(&link, &CControllerLink::linkLost, this, &CTransfers::OnLinkLost);
}

void CTransfers::OnBnClickedDownload()
{
    view.CommitPendingEntry();
    view.ClearCursorMarker();
    view.ClearLiveIndication();
    view.SetProgressWhiteText(false);
    const ControlProfile profile = view.ShownProfile();
    if (const std::optional<Refusal> refusal = CheckDownloadable(profile)) {
        dialogs.Warn(*refusal);
        return;
    }
    if (!link.Connected()) {
        dialogs.Warn(Refusals::NotConnected());
        return;
    }
    if (!dialogs.AcceptHotStop(view.ShownCurve(), profile.Kind(), QStringLiteral("Download it anyway?")))
        return;
    chartEditEnabled = false;
    transferWarning = true;
    reply.reset();
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
        EndDownload(true);
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

void CTransfers::OnReplyArrived(const QString &text)
{
    transferWarning = false;
    reply = text;
    view.EnableMonitorCheck();
    view.SetStatusText(text);
}

void CTransfers::EndDownload(bool readBack)
{
    const bool ended = link.Exchange().Running() || progressTimer.isActive();
    link.Exchange().Finish();
    stepTimer.stop();
    progressTimer.stop();
    std::optional<Verdict> verdict;
    if (readBack && ended && verifyAfterDownload && link.Connected())
        verdict = VerifyDownload();
    view.SetProgress(0);
    view.SetProgressWhiteText(false);
    view.UnlockProfileControls();
    // A line that went away meanwhile leaves nothing to transfer to.
    view.SetTransferButtons(link.Connected());
    if (!link.Connected())
        view.SwitchMonitoringOff();
    link.PollTimer().start(CControllerLink::kPollPeriodAfterDownload);
    chartEditEnabled = true;
    if (verdict) {
        view.SetStatusText(reply ? *reply + QLatin1Char('\n') + verdict->line : verdict->line);
        if (!verdict->details.isEmpty())
            dialogs.Error(WindowDialogs::kTitle, verdict->details);
    }
}

UploadHooks CTransfers::UploadProgress()
{
    UploadHooks hooks;
    hooks.wait = wait;
    hooks.progress = [this](int position, bool white) {
        view.SetProgressWhiteText(white);
        view.SetProgress(position);
    };
    return hooks;
}

CTransfers::Verdict CTransfers::VerifyDownload()
{
    view.SetStatusText(reply ? *reply + QLatin1Char('\n') + kVerifying : kVerifying);
    UploadResult result;
    try {
        const CControllerLink::PollPause pause(link);
        const InputDiscarder discard;
        result = RunUpload(link.Port(), UploadProgress());
    } catch (const CSerialException &error) {
        return {kNotVerified + QStringLiteral(" the profile could not be read back."),
                QStringLiteral("The profile could not be read back from the controller:\n%1").arg(error.Text())};
    }
    if (result.outcome == UploadResult::NoProfile)
        return {kNotVerified + QStringLiteral(" the controller holds no profile."),
                QStringLiteral("The controller holds no profile after the download.")};
    if (result.outcome == UploadResult::ShortAnswer)
        return {kNotVerified + QStringLiteral(" the controller's answer was incomplete."),
                QStringLiteral("The controller's answer was incomplete: %1 of 160 bytes.").arg(result.received)};
    const std::vector<ProfileDifference> differences = CompareProfiles(profileImage, result.image, temperatureCodes);
    if (differences.empty())
        return {kVerified, QString()};
    QStringList lines;
    for (const ProfileDifference &difference : differences)
        lines << difference.Line();
    return {kNotVerified +
                QStringLiteral(" the controller holds another profile (%1).").arg(DifferenceKeys(differences)),
            QStringLiteral("The controller does not hold the profile sent (sent -> held):\n") +
                lines.join(QLatin1Char('\n'))};
}

void CTransfers::AbortDownload()
{
    if (!link.Exchange().Running() && !progressTimer.isActive())
        return;
    transferWarning = false;
    EndDownload(false); // no read-back of a profile that was not sent whole
    view.SetStatusText(kDownloadFailed);
}

void CTransfers::OnLinkLost()
{
    const bool downloading = link.Exchange().Running() || progressTimer.isActive();
    AbortDownload();
    // Both facts stay in view: the cable went, and with it the download.
    if (downloading)
        view.SetStatusText(CControllerLink::kCableRemoved + QLatin1Char('\n') + kDownloadFailed);
}

void CTransfers::OnBnClickedUpload()
{
    view.SetStatusText(DownloadExchange::kCableWarning);
    view.SwitchMonitoringOff();
    view.SetTransferButtons(false);
    view.LockProfileControls();
    UploadResult result;
    {
        // The poll and the chart wait until the whole upload is over; input meanwhile is dropped.
        const CControllerLink::PollPause pause(link);
        const InputDiscarder discard;
        try {
            result = RunUpload(link.Port(), UploadProgress());
            if (result.outcome == UploadResult::NoProfile) {
                view.SetStatusText(kNoProfileText);
                wait(kUploadWait);
            } else if (result.outcome == UploadResult::Profile) {
                uploadImage = result.image;
                wait(kUploadWait);
                view.SetProgress(UploadExchange::kProgressEnd);
                wait(kUploadWait);
            }
        } catch (const CSerialException &) {
            // Whatever failed, the window goes on: polls, controls, buttons and bar as they were.
            view.SetProgress(0);
            view.UnlockProfileControls(false);
            view.SetTransferButtons(link.Connected());
            throw;
        }
    }
    view.SetProgress(0);
    if (result.outcome != UploadResult::Profile) {
        if (result.outcome == UploadResult::ShortAnswer)
            view.SetStatusText(kUploadShort);
        view.UnlockProfileControls(false);
        view.SetTransferButtons(true);
        return;
    }
    view.ShowUploadedProfile(uploadImage);
    view.SetWindowTitle(UploadedTitle(link.Settings().device));
    view.UnlockProfileControls();
    view.SetTransferButtons(false);
    view.SetDownloadButton(true);
    view.SetStatusText(kUploadDone);
}
