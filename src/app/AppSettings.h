// What the window remembers between runs.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

class AppSettings
{
public:
    // The user's own settings, or a file of the caller's (tests never touch the user's).
    explicit AppSettings(const QString &file = QString());
    ~AppSettings();

    bool VerifyAfterDownload() const;
    void SetVerifyAfterDownload(bool on);

private:
    std::unique_ptr<QSettings> settings;
};
