// The window's remembered settings on QSettings.
#include "AppSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kVerifyAfterDownload = QStringLiteral("transfers/verifyAfterDownload");
const QString kLastPort = QStringLiteral("link/lastPort");
const QString kOpenFolder = QStringLiteral("files/openFolder");
const QString kSaveFolder = QStringLiteral("files/saveFolder");
const QString kRecordFolder = QStringLiteral("files/recordFolder");
const QString kHistoryGeometry = QStringLiteral("history/geometry");
const QString kRecentFilesKey = QStringLiteral("files/recent");

// Settings are a few hundred bytes; far more is no settings file of ours.
constexpr qint64 kLargestSettingsFile = 1024 * 1024;

// The files QSettings reads for the user's own settings. It reads them as it is made, so they are
// looked at first.
QStringList UserSettingsFiles()
{
    QStringList files;
#ifdef Q_OS_UNIX
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << folder + QStringLiteral("/Tamlin/Orvex Interface.conf") << folder + QStringLiteral("/Tamlin.conf");
#endif
    return files;
}

// Why a settings file must not be read: a FIFO would hold the start for ever, a device or a huge
// file fill the memory. Empty when it may be read, or is not there yet.
QString Unreadable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return QStringLiteral("is not a regular file");
    if (info.size() > kLargestSettingsFile)
        return QStringLiteral("holds %1 bytes, more than settings ever take").arg(info.size());
    return {};
}
} // namespace

AppSettings::AppSettings() = default;
AppSettings::~AppSettings() = default;

void AppSettings::Open(const QString &file)
{
    settings.reset();
    for (const QString &path : file.isEmpty() ? UserSettingsFiles() : QStringList{file}) {
        if (const QString why = Unreadable(path); !why.isEmpty()) {
            // Nothing read, nothing written back over it: the window starts as on a first run.
            qWarning("The settings file %s %s; starting with the default settings, which are not saved.",
                     qUtf8Printable(path), qUtf8Printable(why));
            return;
        }
    }
    settings = file.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("Tamlin"), QStringLiteral("Orvex Interface"))
                              : std::make_unique<QSettings>(file, QSettings::IniFormat);
}

QVariant AppSettings::Value(const QString &key, const QVariant &fallback) const
{
    return settings ? settings->value(key, fallback) : fallback;
}

void AppSettings::SetValue(const QString &key, const QVariant &value)
{
    if (settings)
        settings->setValue(key, value);
}

bool AppSettings::VerifyAfterDownload() const
{
    return Value(kVerifyAfterDownload, true).toBool();
}

void AppSettings::SetVerifyAfterDownload(bool on)
{
    SetValue(kVerifyAfterDownload, on);
}

QString AppSettings::LastPort() const
{
    return Value(kLastPort, QString()).toString();
}

void AppSettings::SetLastPort(const QString &device)
{
    SetValue(kLastPort, device);
}

QString AppSettings::OpenFolder() const
{
    return Value(kOpenFolder, QString()).toString();
}

void AppSettings::SetOpenFolder(const QString &folder)
{
    SetValue(kOpenFolder, folder);
}

QString AppSettings::SaveFolder() const
{
    return Value(kSaveFolder, QString()).toString();
}

void AppSettings::SetSaveFolder(const QString &folder)
{
    SetValue(kSaveFolder, folder);
}

QString AppSettings::RecordFolder() const
{
    return Value(kRecordFolder, QString()).toString();
}

void AppSettings::SetRecordFolder(const QString &folder)
{
    SetValue(kRecordFolder, folder);
}

QByteArray AppSettings::HistoryGeometry() const
{
    return Value(kHistoryGeometry, QByteArray()).toByteArray();
}

void AppSettings::SetHistoryGeometry(const QByteArray &geometry)
{
    SetValue(kHistoryGeometry, geometry);
}

QString AppSettings::Folder(FileKind kind) const
{
    switch (kind) {
    case FileKind::OpenProfile: return OpenFolder();
    case FileKind::SaveProfile: return SaveFolder();
    case FileKind::Recording: return RecordFolder();
    }
    return {};
}

void AppSettings::RememberFolder(FileKind kind, const QString &folder)
{
    switch (kind) {
    case FileKind::OpenProfile: SetOpenFolder(folder); break;
    case FileKind::SaveProfile: SetSaveFolder(folder); break;
    case FileKind::Recording: SetRecordFolder(folder); break;
    }
}

QStringList AppSettings::RecentFiles() const
{
    QStringList files = Value(kRecentFilesKey, QStringList()).toStringList();
    files.removeAll(QString());
    return files.mid(0, kRecentFiles);
}

void AppSettings::AddRecentFile(const QString &path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    SetValue(kRecentFilesKey, files.mid(0, kRecentFiles));
}
