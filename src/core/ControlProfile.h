#pragma once

#include "FanCurve.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// The profile as the window's fields show it: every field is its control's text.
struct ControlProfile
{
    QString inputControlType = QStringLiteral("Temperature");
    QString outputControlType = QStringLiteral("Open Collector");
    QString softwareNumber = QStringLiteral("00001");
    QString versionNumber = QStringLiteral("1");
    QString fanSpeedTopBand = QStringLiteral("90");
    QString topBand = QStringLiteral("50");
    QString fanSpeedBottomBand = QStringLiteral("30");
    QString bottomBand = QStringLiteral("25");
    QString lowShutOff = QStringLiteral("10");
    QString speedCap = QStringLiteral("N/A");
    QString invertPwmOutput = QStringLiteral("Disabled");
    QString tachoDependentAlarm = QStringLiteral("Enabled");
    QString highAlarm = QStringLiteral("50");
    QString lowAlarm = QStringLiteral("N/A");
    QString alarmActiveState = QStringLiteral("Low");
    bool multipoint = false;

    bool Voltage() const { return inputControlType == QStringLiteral("Voltage"); }
    bool operator==(const ControlProfile &) const = default;
};

// The option lists, in the order the window fills them; images store list positions.
namespace OptionLists {
inline const QStringList inputControlType{QStringLiteral("Temperature"), QStringLiteral("Voltage")};
inline const QStringList outputControlType{QStringLiteral("Open Collector"), QStringLiteral("Voltage")};
inline const QStringList lowShutOff{QStringLiteral("N/A"), QStringLiteral("Always On")};
inline const QStringList speedCap{QStringLiteral("N/A"), QStringLiteral("1000"), QStringLiteral("2000"),
                                  QStringLiteral("3000"), QStringLiteral("4000")};
inline const QStringList invertPwmOutput{QStringLiteral("Disabled"), QStringLiteral("Enabled")};
inline const QStringList tachoDependentAlarm{QStringLiteral("Enabled"), QStringLiteral("Disabled")};
inline const QStringList highAlarm{QStringLiteral("N/A")};
inline const QStringList lowAlarm{QStringLiteral("N/A")};
inline const QStringList alarmActiveState{QStringLiteral("High"), QStringLiteral("Low")};
} // namespace OptionLists
