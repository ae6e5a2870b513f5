// Download to and upload from the controller, and the read-back that verifies a download.
#pragma once

#include "DownloadJournal.h"
#include "ProfileCodec.h"
#include "TemperatureCodeTable.h"
#include "TransferDriver.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class CControllerLink;
class ITransferView;
class WindowDialogs;

// What the window does around the link's transfer driver: the checks before, the locks and the
// bar while one runs, the texts after. Nothing waits inside a handler: while a transfer runs the
// window goes on, with what could start another transfer or change the profile disabled.
class CTransfers : public QObject
{
    Q_OBJECT
public:
    static inline const QString kUploadDone = QStringLiteral("Successfully Uploaded File From Controller");
    static inline const QString kUploadShort =
        QStringLiteral("Upload failed: the controller's answer was incomplete.\nThe profile shown is unchanged.");
    static inline const QString kDownloadFailed =
        QStringLiteral("Download failed: the profile was not sent completely.\nCheck the cable and download again.");
    static inline const QString kNotConfirmed = QStringLiteral(
        "Download not confirmed: the controller did not answer it.\nThe profile may not be stored; download again.");
    static inline const QString kVerifying = QStringLiteral("Verifying: reading the profile back...");
    static inline const QString kVerified = QStringLiteral("Verified: the controller holds the profile sent.");
    static inline const QString kNotVerified = QStringLiteral("NOT VERIFIED:");
    static QString UploadedTitle(const QString &device);

    CTransfers(ITransferView &view, CControllerLink &link, WindowDialogs &dialogs);

    void OnBnClickedDownload();
    // The click returns at once; the profile arrives later.
    void OnBnClickedUpload();
    // Ticks of the step and progress timers, for tests to call.
    void OnStepTimer();
    void OnProgressTimer();
    // Stops a download that cannot go on and unlocks the window.
    void AbortDownload(const QString &why = QString());

    // A download, its read-back or an upload is running.
    bool Busy() const { return phase != Phase::Idle; }
    // Tests shorten the upload's and the read-back's waits: the hook runs instead of each wait.
    void SetWait(std::function<void(int ms)> hook);

    // After the download's end, read the profile back and compare it with the one sent.
    void SetVerifyAfterDownload(bool on) { verifyAfterDownload = on; }
    bool VerifyAfterDownload() const { return verifyAfterDownload; }

    // Chart editing waits while a download runs.
    bool ChartEditEnabled() const { return chartEditEnabled; }
    const QTimer &StepTimer() const;
    const QTimer &ProgressTimer() const;
    const ProfileImage &UploadImage() const { return uploadImage; }

signals:
    // Every download that started, however it ended: what was sent, to which port, and what came of it.
    void downloadFinished(const JournalEntry &entry);

private:
    enum class Phase { Idle, Downloading, Verifying, Uploading };
    // The read-back after a download: the line for the status box, and the differences when any.
    struct Verdict
    {
        QString line;
        QString details; // for the error box; empty when verified
    };

    void OnDownloadTick();
    void OnProgress(int position, bool white);
    void OnReplyArrived(const QString &reply);
    void OnDownloadEnded(const DownloadEnd &end);
    void OnUploadAnswered(const UploadResult &result);
    void OnUploadEnded(const UploadResult &result);
    void OnFailed(CTransferDriver::Job job, const QString &why);
    void OnLinkLost();
    // Unlocks the window after a download, with the read-back's verdict when there was one.
    void EndDownload(const std::optional<Verdict> &verdict);
    Verdict Compare(const UploadResult &result) const;
    // The window usable again after an upload, whatever became of it.
    void EndUpload();
    // What the status box says of the download before the verdict: the reply, or that none came.
    QString Confirmation() const;
    void Report(const QString &result, std::optional<bool> verified, const QString &detail);

    ITransferView &view;
    CControllerLink &link;
    CTransferDriver &transfer;
    WindowDialogs &dialogs;
    Phase phase = Phase::Idle;
    bool chartEditEnabled = true;
    // While set, the download's ticks keep the cable warning in the status box.
    bool transferWarning = false;
    bool verifyAfterDownload = true;
    std::optional<QString> reply; // the controller's answer to this download
    ProfileImage profileImage{};
    ProfileImage uploadImage{};
    TemperatureCodeTable temperatureCodes;
};
