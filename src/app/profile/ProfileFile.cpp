// Save File to PC and Open File.
#include "ProfileFile.h"

#include "AtomicFile.h"
#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileDocument.h"
#include "ProfileEntry.h"
#include "ProfileFileReader.h"
#include "WindowViews.h"

#include <QFileInfo>

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

bool CProfileFile::OnBnClickedSaveFile()
{
    view.ClearLiveIndication();
    if (const std::optional<Refusal> refusal = CheckSaveable(document.Fields())) {
        dialogs.Warn(*refusal);
        return false;
    }
    if (!dialogs.AcceptHotStop(document.Curve(), document.Kind(), QStringLiteral("Save it anyway?")))
        return false;
    return WriteProfileFile(document.BuildImage());
}

bool CProfileFile::WriteProfileFile(const ProfileImage &image)
{
    const ProfileState saved = document.State();
    const QString path = dialogs.SaveFileName({memory.Folder(FileKind::SaveProfile),
                                               ProposedName(saved.fields.softwareNumber, saved.fields.versionNumber),
                                               QStringLiteral("dat"), kProfileFileFilters});
    if (path.isEmpty())
        return false;
    memory.RememberFolder(FileKind::SaveProfile, QFileInfo(path).absolutePath());

    const QString reason =
        WriteFileAtomically(path, QByteArray(reinterpret_cast<const char *>(image.data()), kProfileImageSize));
    if (!reason.isEmpty()) {
        dialogs.Warn(
            {QStringLiteral("Warning"), QStringLiteral("Couldn't save the profile to\n%1\n\n%2").arg(path, reason)});
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    view.SetWindowTitle(absolute);
    document.MarkClean(saved);
    memory.AddRecentFile(absolute);
    return true;
}

void CProfileFile::OnBnClickedOpenFile()
{
    view.ClearLiveIndication();
    plot.ClearCursorMarker();
    const QStringList paths =
        dialogs.OpenFileNames({memory.Folder(FileKind::OpenProfile), QString(), QString(), kProfileFileFilters});
    if (paths.isEmpty())
        return;
    OpenFile(paths.constLast());
}

void CProfileFile::OpenFile(const QString &path)
{
    view.ClearLiveIndication();
    plot.ClearCursorMarker();
    memory.RememberFolder(FileKind::OpenProfile, QFileInfo(path).absolutePath());

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
    const QString absolute = QFileInfo(path).absoluteFilePath();
    view.SwitchMonitoringOff();
    view.SetWindowTitle(QStringLiteral("File Opened: [%1] Tamlin Orvex Interface").arg(absolute));
    {
        const ProfileDocument::Edit edit(document, QStringLiteral("Open File"));
        entry.ShowImage(read.image.data(), false);
    }
    document.MarkClean();
    memory.AddRecentFile(absolute);
    if (read.Short())
        view.SetStatusText(view.StatusText() + QLatin1Char('\n') + ShortFileText(read.length));
}
