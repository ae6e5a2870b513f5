// Download to and upload from the controller.
#pragma once

#include "ProfileCodec.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

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

    CTransfers(ITransferView &view, CControllerLink &link, WindowDialogs &dialogs);

    void OnBnClickedDownload();
    void StartDownloadExchange();
    // Ticks of the step timer (a serial failure is shown in an error box) and of the progress timer.
    void OnStepTimer();
    void OnProgressTimer();
    void OnBnClickedUpload();
    // Stops a download that cannot go on (the line failed or went away) and unlocks the window.
    void AbortDownload();

    // How the upload waits for the controller; tests shorten it. The window keeps painting and
    // its timers tick meanwhile, but no user input is taken.
    void SetWait(std::function<void(int ms)> replacement) { wait = std::move(replacement); }

    // Chart editing waits while a download runs.
    bool ChartEditEnabled() const { return chartEditEnabled; }
    QTimer &StepTimer() { return stepTimer; }
    QTimer &ProgressTimer() { return progressTimer; }
    const ProfileImage &UploadImage() const { return uploadImage; }

private:
    void StepTick();
    void OnReplyArrived(const QString &reply);
    void EndDownload();

    ITransferView &view;
    CControllerLink &link;
    WindowDialogs &dialogs;
    std::function<void(int ms)> wait;
    QTimer stepTimer;
    QTimer progressTimer;
    bool chartEditEnabled = true;
    // While set, the download's ticks keep the cable warning in the status box.
    bool transferWarning = false;
    ProfileImage profileImage{};
    ProfileImage uploadImage{};
};
