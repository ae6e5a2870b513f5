// Reading a profile file: regular files only, never more than the buffer holds.
#include "ProfileFileReader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

ProfileFileRead ReadProfileFile(const QString &path)
{
    ProfileFileRead result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.reason = QStringLiteral("no such file");
        return result;
    }
    if (!QFileInfo(info.canonicalFilePath()).isFile()) {
        result.reason = QStringLiteral("not a regular file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = file.errorString();
        return result;
    }
    result.length = file.size();
    if (result.length > kFileImageSize) {
        result.outcome = ProfileFileRead::TooLarge;
        return result;
    }
    const QByteArray bytes = file.read(kFileImageSize);
    if (file.error() != QFileDevice::NoError) {
        result.reason = file.errorString();
        return result;
    }
    // The file may have grown or shrunk since it was sized: what was read is what counts.
    result.length = bytes.size();
    std::copy_n(bytes.begin(), std::min<qsizetype>(bytes.size(), kFileImageSize), result.image.begin());
    result.outcome = ProfileFileRead::Read;
    return result;
}
