// The window around the transfers: checks, locks, the bar, and what the status box says after.
#include "Transfers.h"

#include "ControllerLink.h"
#include "EntryRules.h"
#include "LinkText.h"
#include "ModalUi.h"
#include "PortList.h"
#include "ProfileCompare.h"
#include "WindowViews.h"

QString CTransfers::UploadedTitle(const QString &device)
{
    return QStringLiteral("Uploaded from %1 - %2").arg(device, WindowDialogs::kTitle);
}

CTransfers::CTransfers(ITransferView &view, CControllerLink &link, WindowDialogs &dialogs)
    : view(view), link(link), transfer(link.Transfer()), dialogs(dialogs)
{
    connect(&transfer, &CTransferDriver::downloadTick, this, &CTransfers::OnDownloadTick);
    connect(&transfer, &CTransferDriver::progress, this, &CTransfers::OnProgress);
    connect(&transfer, &CTransferDriver::downloadEnded, this, &CTransfers::OnDownloadEnded);
    connect(&transfer, &CTransferDriver::uploadAnswered, this, &CTransfers::OnUploadAnswered);
    connect(&transfer, &CTransferDriver::uploadEnded, this, &CTransfers::OnUploadEnded);
    connect(&transfer, &CTransferDriver::failed, this, &CTransfers::OnFailed);
    connect(&link, &CControllerLink::replyArrived, this, &CTransfers::OnReplyArrived);
    connect(&link, &CControllerLink::linkLost, this, &CTransfers::OnLinkLost);
}

void CTransfers::SetWait(std::function<void(int ms)> hook)
{
    transfer.SetWait(std::move(hook));
}

const QTimer &CTransfers::StepTimer() const
{
    return transfer.StepTimer();
}

const QTimer &CTransfers::ProgressTimer() const
{
    return transfer.ProgressTimer();
}

void CTransfers::OnStepTimer()
{
    transfer.OnStepTimer();
}

void CTransfers::OnProgressTimer()
{
    transfer.OnProgressTimer();
}

void CTransfers::OnBnClickedDownload()
{
    if (Busy())
        return;
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
    phase = Phase::Downloading;
    transfer.StartDownload(profileImage);
}

void CTransfers::OnDownloadTick()
{
    if (transferWarning)
        view.SetStatusText(kCableWarning);
}

void CTransfers::OnProgress(int position, bool white)
{
    view.SetProgressWhiteText(white);
    view.SetProgress(position);
}

void CTransfers::OnReplyArrived(const QString &text)
{
    if (phase != Phase::Downloading)
        return;
    transferWarning = false;
    reply = text;
    view.EnableMonitorCheck();
    view.SetStatusText(text);
}

QString CTransfers::Confirmation() const
{
    return reply ? *reply : kNotConfirmed;
}

void CTransfers::OnDownloadEnded(const DownloadEnd &)
{
    transferWarning = false;
    if (verifyAfterDownload && link.Connected()) {
        // Whether the controller confirmed it or not, what it holds decides.
        phase = Phase::Verifying;
        view.SetStatusText(Confirmation() + QLatin1Char('\n') + kVerifying);
        transfer.StartUpload();
        return;
    }
    // A reply that never came whole is said, rather than leaving the cable warning up.
    if (!reply)
        view.SetStatusText(kNotConfirmed);
    EndDownload(std::nullopt);
    if (reply)
        Report(QStringLiteral("downloaded"), std::nullopt, QString());
    else
        Report(QStringLiteral("failed"), std::nullopt, kNotConfirmed);
}

void CTransfers::Report(const QString &result, std::optional<bool> verified, const QString &detail)
{
    JournalEntry entry;
    entry.time = QDateTime::currentDateTimeUtc();
    entry.device = link.Settings().device;
    entry.port = StablePortName(entry.device);
    entry.image = profileImage;
    entry.reply = reply.value_or(QString());
    entry.result = result;
    entry.verified = verified;
    entry.detail = detail;
    entry.source = QStringLiteral("orvex");
    emit downloadFinished(entry);
}

void CTransfers::EndDownload(const std::optional<Verdict> &verdict)
{
    transfer.Stop();
    phase = Phase::Idle;
    view.SetProgress(0);
    view.SetProgressWhiteText(false);
    view.UnlockProfileControls();
    // A line that went away meanwhile leaves nothing to transfer to.
    view.SetTransferButtons(link.Connected());
    if (!link.Connected())
        view.SwitchMonitoringOff();
    chartEditEnabled = true;
    if (verdict) {
        view.SetStatusText(Confirmation() + QLatin1Char('\n') + verdict->line);
        if (!verdict->details.isEmpty())
            dialogs.Error(WindowDialogs::kTitle, verdict->details);
    }
}

CTransfers::Verdict CTransfers::Compare(const UploadResult &result) const
{
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

void CTransfers::AbortDownload(const QString &why)
{
    if (phase != Phase::Downloading && phase != Phase::Verifying)
        return;
    transferWarning = false;
    EndDownload(std::nullopt); // no read-back of a profile that was not sent whole
    view.SetStatusText(kDownloadFailed);
    Report(QStringLiteral("failed"), std::nullopt, why.isEmpty() ? kDownloadFailed : why);
}

void CTransfers::OnLinkLost()
{
    if (phase == Phase::Uploading) {
        transfer.Stop();
        EndUpload();
        return;
    }
    if (phase == Phase::Idle)
        return;
    AbortDownload(kCableRemoved);
    // Both facts stay in view: the cable went, and with it the download.
    view.SetStatusText(kCableRemoved + QLatin1Char('\n') + kDownloadFailed);
}

void CTransfers::OnFailed(CTransferDriver::Job, const QString &why)
{
    const QString text = why.isEmpty() ? QStringLiteral("An unknown error occurred.") : why;
    switch (phase) {
    case Phase::Idle: return;
    case Phase::Downloading:
        AbortDownload(text);
        dialogs.Error(WindowDialogs::kTitle, text); // tells what failed
        return;
    case Phase::Verifying: {
        const Verdict verdict{kNotVerified + QStringLiteral(" the profile could not be read back."),
                              QStringLiteral("The profile could not be read back from the controller:\n%1").arg(text)};
        Report(QStringLiteral("NOT VERIFIED"), std::nullopt, verdict.details);
        EndDownload(verdict);
        return;
    }
    case Phase::Uploading:
        // Whatever failed, the window goes on: polls, controls, buttons and bar as they were.
        EndUpload();
        dialogs.Error(WindowDialogs::kTitle, text);
        return;
    }
}

void CTransfers::OnBnClickedUpload()
{
    if (Busy())
        return;
    view.SetStatusText(kCableWarning);
    view.SwitchMonitoringOff();
    view.SetTransferButtons(false);
    view.LockProfileControls();
    // Input on the chart during the upload would change a profile about to be replaced.
    view.SetChartHeld(true);
    phase = Phase::Uploading;
    transfer.StartUpload(CTransferDriver::UploadEnd::HoldingTheBar);
}

void CTransfers::OnUploadAnswered(const UploadResult &result)
{
    if (phase == Phase::Uploading && result.outcome == UploadResult::NoProfile)
        view.SetStatusText(kNoProfileText);
}

void CTransfers::EndUpload()
{
    phase = Phase::Idle;
    view.SetChartHeld(false);
    view.SetProgress(0);
    view.UnlockProfileControls(false);
    view.SetTransferButtons(link.Connected());
}

void CTransfers::OnUploadEnded(const UploadResult &result)
{
    if (phase == Phase::Verifying) {
        const Verdict verdict = Compare(result);
        const bool held = verdict.details.isEmpty();
        // An incomplete answer says nothing either way about what the controller holds.
        const std::optional<bool> verified =
            result.outcome == UploadResult::ShortAnswer ? std::nullopt : std::optional<bool>(held);
        // In the journal before a box waits for the user.
        Report(held ? QStringLiteral("verified") : QStringLiteral("NOT VERIFIED"), verified, verdict.details);
        EndDownload(verdict);
        return;
    }
    if (phase != Phase::Uploading)
        return;
    if (result.outcome != UploadResult::Profile) {
        EndUpload();
        if (result.outcome == UploadResult::ShortAnswer)
            view.SetStatusText(kUploadShort);
        return;
    }
    phase = Phase::Idle;
    view.SetChartHeld(false);
    view.SetProgress(0);
    uploadImage = result.image;
    view.ShowUploadedProfile(uploadImage);
    view.SetWindowTitle(UploadedTitle(link.Settings().device));
    view.UnlockProfileControls();
    view.SetTransferButtons(false);
    view.SetDownloadButton(true);
    view.SetStatusText(kUploadDone);
}
