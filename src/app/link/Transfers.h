// Download to and upload from the controller, and the read-back that verifies a download.
#pragma once

#include "ProfileCodec.h"
#include "TemperatureCodeTable.h"
#include "UploadExchange.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class CControllerLink;
class ITransferView;
class WindowDialogs;

// Owns the download's step and progress timers and the gates a transfer sets.
class CTransfers : public QObject
{
    Q_OBJECT
public:
    static inline const QString kUploadDone = QStringLiteral("Successfully Uploaded File From Controller");
    static inline const QString kUploadShort =
        QStringLiteral("Upload failed: the controller's answer was incomplete.\nThe profile shown is unchanged.");
    static inline const QString kDownloadFailed =
        QStringLiteral("Download failed: the profile was not sent completely.\nCheck the cable and download again.");
    static inline const QString kVerifying = QStringLiteral("Verifying: reading the profile back...");
    static inline const QString kVerified = QStringLiteral("Verified: the controller holds the profile sent.");
    static inline const QString kNotVerified = QStringLiteral("NOT VERIFIED:");
    static QString UploadedTitle(const QString &device);

    CTransfers(ITransferView &view, CControllerLink &link, WindowDialogs &dialogs);

    void OnBnClickedDownload();
    void StartDownloadExchange();
    // Ticks of the step timer (a serial failure is shown in an error box) and of the progress timer.
    void OnStepTimer();
    void OnProgressTimer();
    void OnBnClickedUpload();
    // Stops a download that cannot go on (the line failed or went away) and unlocks the window.
    void AbortDownload();

    // How a transfer waits for the controller; tests shorten it. The window keeps painting and its
    // timers tick meanwhile; input made meanwhile is dropped.
    void SetWait(std::function<void(int ms)> replacement) { wait = std::move(replacement); }
    static void KeepPaintingFor(int ms);

    // After the download's end, read the profile back and compare it with the one sent.
    void SetVerifyAfterDownload(bool on) { verifyAfterDownload = on; }
    bool VerifyAfterDownload() const { return verifyAfterDownload; }

    // Chart editing waits while a download runs.
    bool ChartEditEnabled() const { return chartEditEnabled; }
    QTimer &StepTimer() { return stepTimer; }
    QTimer &ProgressTimer() { return progressTimer; }
    const ProfileImage &UploadImage() const { return uploadImage; }

private:
    void StepTick();
    void OnReplyArrived(const QString &reply);
    void OnLinkLost();
    // Unlocks the window after a download; readBack: verify it, when asked to, as it ended whole.
    void EndDownload(bool readBack);
    // The read-back after a download: the line for the status box, and the differences when any.
    struct Verdict
    {
        QString line;
        QString details; // for the error box; empty when verified
    };
    Verdict VerifyDownload();
    // The upload exchange's waits and its progress on the bar.
    UploadHooks UploadProgress();

    ITransferView &view;
    CControllerLink &link;
    WindowDialogs &dialogs;
    std::function<void(int ms)> wait;
    QTimer stepTimer;
    QTimer progressTimer;
    bool chartEditEnabled = true;
    // While set, the download's ticks keep the cable warning in the status box.
    bool transferWarning = false;
    bool verifyAfterDownload = true;
    std::optional<QString> reply; // the controller's answer to this download
    ProfileImage profileImage{};
    ProfileImage uploadImage{};
    TemperatureCodeTable temperatureCodes;
};
