// What the window remembers between runs.
#pragma once

#include "ModalUi.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// Until it is opened nothing is read or kept: the window opens it once it knows where (tests give
// a file of their own, so the user's settings are never touched).
class AppSettings : public IWindowMemory
{
public:
    static constexpr int kRecentFiles = 8;

    AppSettings();
    ~AppSettings();
    // The user's own settings, or the given file.
    void Open(const QString &file = QString());

    bool VerifyAfterDownload() const;
    void SetVerifyAfterDownload(bool on);
    // The port last connected to, by its stable name where it has one.
    QString LastPort() const;
    void SetLastPort(const QString &device);
    QString OpenFolder() const;
    void SetOpenFolder(const QString &folder);
    QString SaveFolder() const;
    void SetSaveFolder(const QString &folder);
    QString RecordFolder() const;
    void SetRecordFolder(const QString &folder);
    QString Folder(FileKind kind) const override;
    void RememberFolder(FileKind kind, const QString &folder) override;
    QStringList RecentFiles() const override;
    void AddRecentFile(const QString &path) override;
    QByteArray HistoryGeometry() const;
    void SetHistoryGeometry(const QByteArray &geometry);

private:
    QVariant Value(const QString &key, const QVariant &fallback) const;
    void SetValue(const QString &key, const QVariant &value);

    std::unique_ptr<QSettings> settings;
};
