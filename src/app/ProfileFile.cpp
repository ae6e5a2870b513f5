#include "ProfileFile.h"

#include "AtomicFile.h"
#include "PlexaDlg.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

QString CProfileFile::ProposedName(const QString &softwareNumber, const QString &versionNumber)
{
    return QStringLiteral("%1_Issue%2").arg(softwareNumber, versionNumber);
}

void CProfileFile::OnBnClickedSaveFile()
{
    window.ClearLiveIndication();
    const ProfileControls &fields = window.Profile();
    if (!fields.enableMultipoint->isChecked()) {
        for (const QLineEdit *band : {fields.fanSpeedTopBand, fields.fanSpeedBottomBand, fields.topBand, fields.bottomBand}) {
            if (band->text() == QStringLiteral("N/A")) {
                window.ModalUi().MessageBox(&window, QStringLiteral("Set 'N/A' parameters."),
                                            QStringLiteral("Parameters Not Set."), MsgIcon::Warning, MsgButtons::Ok);
                return;
            }
        }
    }
    window.BuildProfileImage();
    WriteProfileFile();
}

void CProfileFile::WriteProfileFile()
{
    const ProfileImage image = window.profileImage;
    const ProfileControls &fields = window.Profile();
    const QString path = window.ModalUi().GetSaveFileName(
        &window, ProposedName(fields.softwareNumber->text(), fields.versionNumber->text()), QStringLiteral("dat"));
    if (path.isEmpty())
        return;

    const QString reason =
        WriteFileAtomically(path, QByteArray(reinterpret_cast<const char *>(image.data()), kProfileImageSize));
    if (!reason.isEmpty()) {
        window.ModalUi().MessageBox(&window, QStringLiteral("Couldn't save the profile to\n%1\n\n%2").arg(path, reason),
                                    QStringLiteral("Warning"), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    window.setWindowTitle(QFileInfo(path).absoluteFilePath());
}

void CProfileFile::OnBnClickedOpenFile()
{
    window.ClearLiveIndication();
    window.Plot().ClearCursorMarker();
    const QStringList paths = window.ModalUi().GetOpenFileNames(&window);
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
        window.ModalUi().MessageBox(&window, QStringLiteral("Couldn't open source file."), QStringLiteral("Warning"),
                                    MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // Bytes past a short file keep what the last file left there.
    std::copy(bytes.begin(), bytes.end(), window.fileImage.begin());
    if (length > kFileImageSize) {
        window.ModalUi().MessageBox(&window, QStringLiteral("Wrong type of file opened!, file larger than expected."),
                                    QStringLiteral("Warning - Error in file!!! "), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    window.SwitchMonitoringOff();
    file.close();
    window.setWindowTitle(QStringLiteral("File Opened: [%1] Tamlin Orvex Interface").arg(QFileInfo(path).absoluteFilePath()));
    window.DecodeProfileImage(window.fileImage.data(), false);
}
