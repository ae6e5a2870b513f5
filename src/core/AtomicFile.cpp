// Writing a file so that a failure never costs the old one.
#include "AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

bool ExistsButIsNoRegularFile(const QString &path)
{
    const QFileInfo target(path);
    return target.exists() && !QFileInfo(target.canonicalFilePath()).isFile();
}

QString WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (ExistsButIsNoRegularFile(path))
        return QStringLiteral("%1 is not a regular file; nothing was written").arg(path);

    // Unbuffered: a full disk must fail the write itself; a buffered one only fails at the flush
    // inside commit, which Qt 6.4 does not always report before renaming over the old file.
    QSaveFile file(path); // writes through a link to its target
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    written = written && file.write(bytes) == bytes.size();
    written = written && file.error() == QFileDevice::NoError && file.commit();
    if (written)
        return {};
    const QString reason =
        file.errorString().isEmpty() ? QStringLiteral("the file could not be written") : file.errorString();
    file.cancelWriting();
    return reason;
}
