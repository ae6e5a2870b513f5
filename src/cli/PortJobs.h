// Transfers to many controllers at once, each a job on the one event loop: no thread per port and no
// nested waits, so eight controllers take the time of one and a port that fails stops no other.
#pragma once

#include "ProfileCompare.h"
#include "SerialPort.h"
#include "TransferDriver.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

// What became of one port.
struct PortOutcome
{
    QString port;
    bool ok = false;
    QString result; // "downloaded", "verified", "NOT VERIFIED", "uploaded", "failed"
    QString detail; // the reply, the file written, the differing keys or why it failed
    QString reply;
    std::optional<bool> verified;
    std::vector<ProfileDifference> differences;
    QString file;
    std::optional<ProfileImage> image; // what an upload read
};

class PortJob : public QObject
{
    Q_OBJECT
public:
    explicit PortJob(const QString &device, QObject *parent = nullptr);
    // Opens the port and begins; a port that cannot be opened fails the job on the next turn of the loop.
    void Start();
    const PortOutcome &Outcome() const { return outcome; }
    bool Finished() const { return finished; }
    // When it finished (UTC); invalid while it runs.
    const QDateTime &EndedAt() const { return endedAt; }
    // A step after the transfer failed (its file could not be written).
    void FailAfter(const QString &why)
    {
        outcome.ok = false;
        outcome.result = QStringLiteral("failed");
        outcome.detail = why;
    }
signals:
    void progress(const QString &port, const QString &what, int percent);
    void done();

protected:
    virtual void Begin() = 0;
    void Fail(const QString &why, const QString &result = QStringLiteral("failed"));
    void Succeed(const QString &result, const QString &detail);
    // Reads the controller's profile with the upload exchange, its progress told as `what`.
    void ReadProfile(const QString &what, std::function<void(const UploadResult &)> then,
                     CTransferDriver::UploadEnd end = CTransferDriver::UploadEnd::WithAnswer);
    CSerialPort port;
    CTransferDriver transfer{port};
    PortOutcome outcome;

private:
    void Finish(bool ok, const QString &result, const QString &detail);
    bool finished = false;
    QDateTime endedAt;
    QString uploadWhat;
    std::function<void(const UploadResult &)> uploaded;
};

// The window's download sequence; with verify, the upload exchange reads the profile back.
class DownloadJob : public PortJob
{
    Q_OBJECT
public:
    DownloadJob(const QString &device, const ProfileImage &image, bool verify, QObject *parent = nullptr);
    const ProfileImage &Image() const { return image; }
    // When the download began; none while nothing was sent.
    const std::optional<QDateTime> &SentAt() const { return sentAt; }

protected:
    void Begin() override;
    // The download itself, told as `what` in the progress.
    void Send(const QString &what = QStringLiteral("progress"));

private:
    void Ended(const DownloadEnd &end);
    void Verify();
    void Compared(const UploadResult &result);

    ProfileImage image;
    bool verify;
    QElapsedTimer clock;
    int progressShown = -1;
    QString sendWhat;
    std::optional<QDateTime> sentAt;
};

// Reads the controller's profile and downloads the image only when the controller holds another:
// "unchanged", "would change" (check only), or the download's own results.
class ApplyJob : public DownloadJob
{
    Q_OBJECT
public:
    ApplyJob(const QString &device, const ProfileImage &image, bool checkOnly, QObject *parent = nullptr);
    // "unchanged", "changed", "would change" or "failed".
    QString Status() const;
    // The controller's profile against the image, as read before anything was written.
    const std::vector<ProfileDifference> &Before() const { return before; }
    bool HeldNoProfile() const { return heldNoProfile; }

private:
    void Begin() override;
    void Answered(const UploadResult &result);
    void ReadEnded(const UploadResult &result);

    bool checkOnly;
    bool answered = false;
    bool sendAfterRead = false;
    bool heldNoProfile = false;
    std::vector<ProfileDifference> before;
};

// Reads the controller's profile; the caller writes it once every port is done, so that an
// interrupted run leaves no file behind.
class UploadJob : public PortJob
{
    Q_OBJECT
public:
    UploadJob(const QString &device, const QString &file, QObject *parent = nullptr);

private:
    void Begin() override;
    void Uploaded(const UploadResult &result);
};

// Runs the jobs together until every one is done, or a signal ends them all; returns the signal's
// exit status then, else none.
std::optional<int> RunJobs(const std::vector<std::unique_ptr<PortJob>> &jobs);

// One summary line a port on stdout (with --json one object a port), the differences of a failed
// verification on stderr; 0 when every port succeeded, else 1.
// With stdoutTaken (a profile went there) the lines go to stderr.
int ReportJobs(const std::vector<std::unique_ptr<PortJob>> &jobs, bool json, bool stdoutTaken = false);

// Every download that was begun goes to the journal, interrupted ones as failed; a journal that cannot
// be written is said on stderr and fails nothing.
void JournalDownloads(const std::vector<std::unique_ptr<PortJob>> &jobs);

// Why a profile a transfer got is incomplete, in one line.
QString UploadProblem(const UploadResult &result);
