// Download and upload jobs on timers, and the loop that runs them side by side.
#include "PortJobs.h"

#include "DownloadJournal.h"
#include "Files.h"
#include "Interrupts.h"
#include "LinkText.h"
#include "Output.h"
#include "PortList.h"
#include "ProfileJson.h"
#include "SerialException.h"
#include "Transfers.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>

namespace {
constexpr qint64 kDownloadLength = DownloadExchange::kCommandWait + DownloadExchange::kFirstHalfWait +
                                   DownloadExchange::kSecondHalfWait + DownloadExchange::kEndWait;
} // namespace

QString UploadProblem(const UploadResult &result)
{
    if (result.outcome == UploadResult::NoProfile)
        return kNoProfileReason;
    return QStringLiteral("the controller's answer was incomplete (%1 of 160 bytes)").arg(result.received);
}

PortJob::PortJob(const QString &device, QObject *parent) : QObject(parent)
{
    outcome.port = device;
    connect(&port, &CSerialPort::deviceLost, this, [this] { Fail(kCableRemovedReason); });
    connect(&transfer, &CTransferDriver::failed, this, [this](CTransferDriver::Job, const QString &why) { Fail(why); });
    connect(&transfer, &CTransferDriver::progress, this, [this](int position, bool) {
        if (transfer.Running() == CTransferDriver::Job::Upload)
            emit progress(outcome.port, uploadWhat, position * 100 / UploadExchange::kProgressEnd);
    });
    connect(&transfer, &CTransferDriver::uploadEnded, this, [this](const UploadResult &result) {
        if (uploaded)
            uploaded(result);
    });
}

void PortJob::Start()
{
    try {
        Interrupts::Blocking blocking; // a hung device may never return from open()
        port.Open(outcome.port, 9600);
    } catch (const CSerialException &error) {
        const QString why = error.Text();
        QTimer::singleShot(0, this, [this, why] { Fail(why); });
        return;
    }
    Begin();
}

void PortJob::ReadProfile(const QString &what, std::function<void(const UploadResult &)> then,
                          CTransferDriver::UploadEnd end)
{
    uploadWhat = what;
    uploaded = std::move(then);
    transfer.StartUpload(end);
}

void PortJob::Fail(const QString &why, const QString &result)
{
    Finish(false, result, why);
}

void PortJob::Succeed(const QString &result, const QString &detail)
{
    Finish(true, result, detail);
}

void PortJob::Finish(bool ok, const QString &result, const QString &detail)
{
    if (finished)
        return;
    finished = true;
    endedAt = QDateTime::currentDateTimeUtc();
    transfer.Stop();
    outcome.ok = ok;
    outcome.result = result;
    outcome.detail = detail;
    port.Close();
    emit done();
}

DownloadJob::DownloadJob(const QString &device, const ProfileImage &image, bool verify, QObject *parent)
    : PortJob(device, parent), image(image), verify(verify)
{
    transfer.ReadReplyItself(true);
    connect(&transfer, &CTransferDriver::progress, this, [this] {
        if (transfer.Running() != CTransferDriver::Job::Download)
            return;
        const int percent = static_cast<int>(std::min<qint64>(100, clock.elapsed() * 100 / kDownloadLength));
        if (percent / 10 != progressShown / 10) {
            progressShown = percent;
            emit progress(outcome.port, sendWhat, percent);
        }
    });
    connect(&transfer, &CTransferDriver::downloadEnded, this, &DownloadJob::Ended);
}

void DownloadJob::Begin()
{
    Send();
}

void DownloadJob::Send(const QString &what)
{
    sendWhat = what;
    // Frames queued before the port was opened must not pass for the controller's reply.
    try {
        port.ClearReceiveBuffer();
    } catch (const CSerialException &error) {
        const QString why = error.Text();
        QTimer::singleShot(0, this, [this, why] { Fail(why); });
        return;
    }
    clock.start();
    sentAt = QDateTime::currentDateTimeUtc();
    transfer.StartDownload(image);
}

void DownloadJob::Ended(const DownloadEnd &end)
{
    emit progress(outcome.port, sendWhat, 100);
    if (!end.reply) {
        outcome.reply = end.replySoFar;
        Fail(NotConfirmedReason(end.replyPieces));
        return;
    }
    outcome.reply = *end.reply;
    if (verify)
        Verify();
    else
        Succeed(QStringLiteral("downloaded"), end.reply->simplified());
}

void DownloadJob::Verify()
{
    ReadProfile(QStringLiteral("reading back"), [this](const UploadResult &result) { Compared(result); });
}

void DownloadJob::Compared(const UploadResult &result)
{
    if (result.outcome != UploadResult::Profile) {
        outcome.verified = false;
        Fail(UploadProblem(result), QStringLiteral("NOT VERIFIED"));
        return;
    }
    const TemperatureCodeTable table;
    outcome.differences = CompareProfiles(image, result.image, table);
    outcome.verified = outcome.differences.empty();
    if (*outcome.verified) {
        Succeed(QStringLiteral("verified"), QStringLiteral("the controller holds the profile sent"));
        return;
    }
    Fail(DifferenceKeys(outcome.differences), QStringLiteral("NOT VERIFIED"));
}

UploadJob::UploadJob(const QString &device, const QString &file, QObject *parent) : PortJob(device, parent)
{
    outcome.file = file;
}

void UploadJob::Begin()
{
    ReadProfile(QStringLiteral("progress"), [this](const UploadResult &result) { Uploaded(result); });
}

void UploadJob::Uploaded(const UploadResult &result)
{
    if (result.outcome != UploadResult::Profile) {
        Fail(UploadProblem(result) + (outcome.file.isEmpty() ? QString() : QStringLiteral("; nothing written")));
        return;
    }
    outcome.image = result.image;
    Succeed(QStringLiteral("uploaded"), outcome.file);
}

ApplyJob::ApplyJob(const QString &device, const ProfileImage &image, bool checkOnly, QObject *parent)
    : DownloadJob(device, image, true, parent), checkOnly(checkOnly)
{
    connect(&transfer, &CTransferDriver::uploadAnswered, this, [this](const UploadResult &result) {
        if (!answered)
            Answered(result);
    });
}

QString ApplyJob::Status() const
{
    if (!Outcome().ok)
        return QStringLiteral("failed");
    if (Outcome().result == QStringLiteral("verified"))
        return QStringLiteral("changed");
    return Outcome().result;
}

void ApplyJob::Begin()
{
    // The read holds the line as the window's upload does, so that a download after it meets the
    // controller as it would after the window's Upload.
    ReadProfile(
        QStringLiteral("reading"), [this](const UploadResult &result) { ReadEnded(result); },
        CTransferDriver::UploadEnd::HoldingTheBar);
}

void ApplyJob::Answered(const UploadResult &result)
{
    answered = true;
    if (result.outcome == UploadResult::ShortAnswer) {
        // What it holds is unknown; a download would be blind to the same trouble.
        Fail(UploadProblem(result) + QStringLiteral("; nothing written"));
        return;
    }
    heldNoProfile = result.outcome == UploadResult::NoProfile;
    if (!heldNoProfile) {
        const TemperatureCodeTable table;
        before = CompareProfiles(result.image, Image(), table);
        if (before.empty()) {
            Succeed(QStringLiteral("unchanged"), QStringLiteral("the controller holds the profile"));
            return;
        }
    }
    const QString what = heldNoProfile ? QStringLiteral("the controller holds no profile") : DifferenceKeys(before);
    if (checkOnly) {
        Succeed(QStringLiteral("would change"), what);
        return;
    }
    // The hold after the answer runs first; the download follows when it ends.
    sendAfterRead = true;
}

void ApplyJob::ReadEnded(const UploadResult &result)
{
    if (!answered)
        Answered(result);
    if (Finished() || !sendAfterRead)
        return;
    sendAfterRead = false;
    Send(QStringLiteral("sending"));
}

void JournalDownloads(const std::vector<std::unique_ptr<PortJob>> &jobs)
{
    std::optional<DownloadJournal> journal;
    for (const auto &job : jobs) {
        const auto *download = dynamic_cast<const DownloadJob *>(job.get());
        if (!download || !download->SentAt())
            continue;
        const PortOutcome &o = job->Outcome();
        JournalEntry entry;
        // As the window keeps it: when the download ended, however it ended.
        entry.time = job->Finished() ? job->EndedAt() : QDateTime::currentDateTimeUtc();
        entry.port = StablePortName(DevicePath(o.port));
        entry.device = o.port;
        entry.image = download->Image();
        entry.reply = o.reply;
        entry.result = job->Finished() ? o.result : QStringLiteral("failed");
        entry.verified = o.verified;
        entry.detail = job->Finished() ? o.detail : QStringLiteral("interrupted");
        entry.source = QStringLiteral("orvexctl");
        if (!journal)
            journal.emplace(DownloadJournal::DefaultFolder());
        if (const QString trouble = journal->Record(entry); !trouble.isEmpty())
            Err::Line(QStringLiteral("%1: the download is not in the journal: %2").arg(o.port, trouble));
    }
}

std::optional<int> RunJobs(const std::vector<std::unique_ptr<PortJob>> &jobs)
{
    QEventLoop loop;
    auto allDone = [&jobs] {
        return std::all_of(jobs.begin(), jobs.end(), [](const auto &job) { return job->Finished(); });
    };
    for (const auto &job : jobs) {
        QObject::connect(job.get(), &PortJob::done, &loop, [&loop, allDone] {
            if (allDone())
                loop.quit();
        });
        QObject::connect(job.get(), &PortJob::progress, &loop, [](const QString &port, const QString &what, int p) {
            Err::Note(QStringLiteral("%1: %2 %3 %").arg(port, what).arg(p));
        });
    }
    for (const auto &job : jobs)
        job->Start();
    return allDone() ? std::nullopt : Interrupts::Exec(loop);
}

int ReportJobs(const std::vector<std::unique_ptr<PortJob>> &jobs, bool json, bool stdoutTaken)
{
    bool allOk = true;
    for (const auto &job : jobs) {
        const PortOutcome &o = job->Outcome();
        allOk = allOk && o.ok;
        for (const ProfileDifference &difference : o.differences)
            Err::Line(QStringLiteral("%1: %2").arg(o.port, difference.Line()));
        if (!o.ok && o.differences.empty())
            Err::Line(QStringLiteral("%1: %2").arg(o.port, o.detail));
        const QString summary = QStringLiteral("%1: %2: %3").arg(o.port, o.result, o.detail);
        if (!json && stdoutTaken)
            Err::Note(summary);
        if (!json && !stdoutTaken)
            Out::Line(summary);
        if (!json)
            continue;
        QJsonObject object{
            {QStringLiteral("port"), o.port}, {QStringLiteral("ok"), o.ok}, {QStringLiteral("result"), o.result}};
        if (!o.reply.isEmpty())
            object.insert(QStringLiteral("reply"), o.reply);
        if (!o.ok)
            object.insert(QStringLiteral("error"), o.detail);
        if (o.verified)
            object.insert(QStringLiteral("verified"), *o.verified);
        if (!o.differences.empty())
            object.insert(QStringLiteral("differences"), DifferencesJson(o.differences));
        if (!o.file.isEmpty() && o.ok)
            object.insert(QStringLiteral("file"), o.file);
        if (stdoutTaken)
            Err::Note(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        else
            Out::Json(object);
    }
    return allOk ? kExitOk : kExitFailed;
}
