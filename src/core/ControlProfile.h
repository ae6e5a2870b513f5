// The profile's fields as texts, the option lists and the texts with a meaning of their own.
#pragma once

#include "FanCurve.h"
#include "InputKind.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// Field texts with a meaning of their own.
inline const QString kNotUsed = QStringLiteral("N/A");        // the function is not used
inline const QString kAlwaysOn = QStringLiteral("Always On"); // shut-off: the fan never stops

// The option lists, in the order the window fills them; images store list positions.
namespace OptionLists {
inline const QStringList inputControlType{QStringLiteral("Temperature"), QStringLiteral("Voltage")};
inline const QStringList outputControlType{QStringLiteral("Open Collector"), QStringLiteral("Voltage")};
inline const QStringList lowShutOff{kNotUsed, kAlwaysOn};
inline const QStringList speedCap{kNotUsed, QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("3000"),
                                  QStringLiteral("4000")};
inline const QStringList invertPwmOutput{QStringLiteral("Disabled"), QStringLiteral("Enabled")};
inline const QStringList tachoDependentAlarm{QStringLiteral("Enabled"), QStringLiteral("Disabled")};
inline const QStringList highAlarm{kNotUsed};
inline const QStringList lowAlarm{kNotUsed};
inline const QStringList alarmActiveState{QStringLiteral("High"), QStringLiteral("Low")};
} // namespace OptionLists

// The input kind an Input Control Type text selects, and the name the window gives it.
inline InputKind InputKindOf(const QString &inputControlType)
{
    return inputControlType == OptionLists::inputControlType[1] ? InputKind::Voltage : InputKind::Temperature;
}
inline const QString &InputKindName(InputKind kind)
{
    return OptionLists::inputControlType[kind == InputKind::Voltage ? 1 : 0];
}

// The profile as the window's fields show it: every field is its control's text.
struct ControlProfile
{
    QString inputControlType = OptionLists::inputControlType[0];
    QString outputControlType = QStringLiteral("Open Collector");
    QString softwareNumber = QStringLiteral("00001");
    QString versionNumber = QStringLiteral("1");
    QString fanSpeedTopBand = QStringLiteral("90");
    QString topBand = QStringLiteral("50");
    QString fanSpeedBottomBand = QStringLiteral("30");
    QString bottomBand = QStringLiteral("25");
    QString lowShutOff = QStringLiteral("10");
    QString speedCap = kNotUsed;
    QString invertPwmOutput = QStringLiteral("Disabled");
    QString tachoDependentAlarm = QStringLiteral("Enabled");
    QString highAlarm = QStringLiteral("50");
    QString lowAlarm = kNotUsed;
    QString alarmActiveState = QStringLiteral("Low");
    bool multipoint = false;

    InputKind Kind() const { return InputKindOf(inputControlType); }
    bool operator==(const ControlProfile &) const = default;
};
