// Save File to PC and Open File.
#include "ProfileFile.h"

#include "AppSettings.h"
#include "AtomicFile.h"
#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "HotStopQuestion.h"
#include "ModalUi.h"
#include "ProfileControls.h"
#include "ProfileEntry.h"
#include "ProfileFileReader.h"
#include "WindowViews.h"

#include <QFileInfo>
#include <QLineEdit>

QString CProfileFile::ProposedName(const QString &softwareNumber, const QString &versionNumber)
{
    return QStringLiteral("%1_Issue%2").arg(softwareNumber, versionNumber);
}

QString CProfileFile::ShortFileText(qint64 length)
{
    return QStringLiteral("The file held only %1 of the profile's %2 bytes; the rest reads as 0.")
        .arg(length)
        .arg(kProfileImageSize);
}

void CProfileFile::OnBnClickedSaveFile()
{
    view.ClearLiveIndication();
    if (const std::optional<Refusal> refusal = CheckSaveable(controls.Read())) {
        dialogs.Warn(*refusal);
        return;
    }
    if (!AcceptHotStop(dialogs, plot.Curve(), controls.Kind(), QStringLiteral("Save it anyway?")))
        return;
    WriteProfileFile(entry.BuildImage());
}

void CProfileFile::WriteProfileFile(const ProfileImage &image)
{
    const QString path = dialogs.SaveFileName(
        {settings.SaveFolder(), ProposedName(controls.softwareNumber->text(), controls.versionNumber->text()),
         QStringLiteral("dat"), kProfileFileFilters});
    if (path.isEmpty())
        return;
    settings.SetSaveFolder(QFileInfo(path).absolutePath());

    const QString reason =
        WriteFileAtomically(path, QByteArray(reinterpret_cast<const char *>(image.data()), kProfileImageSize));
    if (!reason.isEmpty()) {
        dialogs.Warn(
            {QStringLiteral("Warning"), QStringLiteral("Couldn't save the profile to\n%1\n\n%2").arg(path, reason)});
        return;
    }
    view.SetWindowTitle(QFileInfo(path).absoluteFilePath());
}

void CProfileFile::OnBnClickedOpenFile()
{
    view.ClearLiveIndication();
    plot.ClearCursorMarker();
    const QStringList paths = dialogs.OpenFileNames({settings.OpenFolder(), QString(), QString(), kProfileFileFilters});
    if (paths.isEmpty())
        return;
    const QString path = paths.constLast();
    settings.SetOpenFolder(QFileInfo(path).absolutePath());

    // A FIFO or a device would hang the window or never end: only a regular file is read.
    const ProfileFileRead read = ReadProfileFile(path);
    if (read.outcome == ProfileFileRead::CannotOpen) {
        dialogs.Warn({QStringLiteral("Warning"), QStringLiteral("Couldn't open source file.")});
        return;
    }
    if (read.outcome == ProfileFileRead::TooLarge) {
        dialogs.Warn({QStringLiteral("Warning - Error in file!!! "),
                      QStringLiteral("Wrong type of file opened!, file larger than expected.")});
        return;
    }
    view.SwitchMonitoringOff();
    view.SetWindowTitle(
        QStringLiteral("File Opened: [%1] Tamlin Orvex Interface").arg(QFileInfo(path).absoluteFilePath()));
    entry.ShowImage(read.image.data(), false);
    if (read.Short())
        view.SetStatusText(view.StatusText() + QLatin1Char('\n') + ShortFileText(read.length));
}
