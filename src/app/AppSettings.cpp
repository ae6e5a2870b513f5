// The window's remembered settings on QSettings.
#include "AppSettings.h"

#include <QSettings>

namespace {
const QString kVerifyAfterDownload = QStringLiteral("transfers/verifyAfterDownload");
const QString kLastPort = QStringLiteral("link/lastPort");
const QString kOpenFolder = QStringLiteral("files/openFolder");
const QString kSaveFolder = QStringLiteral("files/saveFolder");
const QString kRecordFolder = QStringLiteral("files/recordFolder");
const QString kHistoryGeometry = QStringLiteral("history/geometry");
const QString kRecentFilesKey = QStringLiteral("files/recent");
} // namespace

AppSettings::AppSettings() = default;
AppSettings::~AppSettings() = default;

void AppSettings::Open(const QString &file)
{
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
