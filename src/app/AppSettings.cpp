// The window's remembered settings on QSettings.
#include "AppSettings.h"

#include <QSettings>

namespace {
const QString kVerifyAfterDownload = QStringLiteral("transfers/verifyAfterDownload");
}

AppSettings::AppSettings(const QString &file)
    : settings(file.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("Tamlin"), QStringLiteral("Orvex Interface"))
                              : std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

AppSettings::~AppSettings() = default;

bool AppSettings::VerifyAfterDownload() const
{
    return settings->value(kVerifyAfterDownload, true).toBool();
}

void AppSettings::SetVerifyAfterDownload(bool on)
{
    settings->setValue(kVerifyAfterDownload, on);
}
