#include "ProfileFile.h"

#include "PlexaDlg.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>

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

    // Written beside the target and renamed over it, so a failed write never costs the old file.
    // Unbuffered: a full disk must fail the write itself; a buffered one only fails at the flush
    // inside commit, which Qt 6.4 does not always report before renaming over the old file.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    written = written && file.write(reinterpret_cast<const char *>(image.data()), kProfileImageSize) == kProfileImageSize;
    written = written && file.error() == QFileDevice::NoError && file.commit();
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
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
