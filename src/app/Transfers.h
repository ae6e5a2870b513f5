#pragma once

#include "DownloadExchange.h"

#include <QList>

#include <functional>

class CPlexaDlg;
class QWidget;

// Download to and upload from the controller.
class CTransfers
{
public:
    explicit CTransfers(CPlexaDlg &window);

    void OnBnClickedDownload();
    void StartDownloadExchange();
    void OnStepTimer();
    void OnProgressTimer();
    void OnBnClickedUpload();
    // Stops a download that cannot go on (the line failed or went away) and unlocks the window.
    void AbortDownload();

    void LockProfileControls();
    void UnlockProfileControls();

    DownloadExchange &Exchange() { return exchange; }
    // How the upload waits for the controller; tests shorten it. The window keeps painting and
    // its timers tick meanwhile, but no user input is taken.
    std::function<void(int ms)> wait;

    static inline const QString kUploadDone = QStringLiteral("Successfully Uploaded File From Controller");
    static inline const QString kUploadShort =
        QStringLiteral("Upload failed: the controller's answer was incomplete.\nThe profile shown is unchanged.");
    static inline const QString kDownloadFailed =
        QStringLiteral("Download failed: the profile was not sent completely.\nCheck the cable and download again.");

private:
    void EndDownload();
    QList<QWidget *> LockedControls() const;

    CPlexaDlg &window;
    DownloadExchange exchange;
};
