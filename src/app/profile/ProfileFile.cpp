// Save File to PC and Open File.
#include "ProfileFile.h"

#include "AtomicFile.h"
#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileControls.h"
#include "ProfileEntry.h"
#include "WindowViews.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

QString CProfileFile::ProposedName(const QString &softwareNumber, const QString &versionNumber)
{
    return QStringLiteral("%1_Issue%2").arg(softwareNumber, versionNumber);
}

void CProfileFile::OnBnClickedSaveFile()
{
    view.ClearLiveIndication();
    if (const std::optional<Refusal> refusal = CheckSaveable(controls.Read())) {
        dialogs.Warn(*refusal);
        return;
    }
    WriteProfileFile(entry.BuildImage());
}

void CProfileFile::WriteProfileFile(const ProfileImage &image)
{
    const QString path = dialogs.SaveFileName(
        ProposedName(controls.softwareNumber->text(), controls.versionNumber->text()), QStringLiteral("dat"));
    if (path.isEmpty())
        return;

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
    const QStringList paths = dialogs.OpenFileNames();
    if (paths.isEmpty())
        return;
    const QString path = paths.constLast();

    QFile file(path);
    QByteArray bytes;
    bool readable = !QFileInfo(path).isDir() && file.open(QIODevice::ReadOnly);
    qint64 length = 0;
    if (readable) {
        length = file.size();
        bytes = file.read(kFileImageSize);
        readable = file.error() == QFileDevice::NoError;
    }
    if (!readable) {
        dialogs.Warn({QStringLiteral("Warning"), QStringLiteral("Couldn't open source file.")});
        return;
    }
    // Bytes past a short file keep what the last file left there.
    std::copy(bytes.begin(), bytes.end(), fileImage.begin());
    if (length > kFileImageSize) {
        dialogs.Warn({QStringLiteral("Warning - Error in file!!! "),
                      QStringLiteral("Wrong type of file opened!, file larger than expected.")});
        return;
    }
    view.SwitchMonitoringOff();
    file.close();
    view.SetWindowTitle(
        QStringLiteral("File Opened: [%1] Tamlin Orvex Interface").arg(QFileInfo(path).absoluteFilePath()));
    entry.ShowImage(fileImage.data(), false);
}
