// Reading the profile out of its controls.
#include "ProfileControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

ControlProfile ProfileControls::Read() const
{
    ControlProfile p;
    p.inputControlType = inputControlType->currentText();
    p.outputControlType = outputControlType->currentText();
    p.softwareNumber = softwareNumber->text();
    p.versionNumber = versionNumber->text();
    p.fanSpeedTopBand = fanSpeedTopBand->text();
    p.topBand = topBand->text();
    p.fanSpeedBottomBand = fanSpeedBottomBand->text();
    p.bottomBand = bottomBand->text();
    p.lowShutOff = lowShutOff->currentText();
    p.speedCap = speedCap->currentText();
    p.invertPwmOutput = invertPwmOutput->currentText();
    p.tachoDependentAlarm = tachoDependentAlarm->currentText();
    p.highAlarm = highAlarm->currentText();
    p.lowAlarm = lowAlarm->currentText();
    p.alarmActiveState = alarmActiveState->currentText();
    p.multipoint = enableMultipoint->isChecked();
    return p;
}

InputKind ProfileControls::Kind() const
{
    return InputKindOf(inputControlType->currentText());
}

bool ProfileControls::Multipoint() const
{
    return enableMultipoint->isChecked();
}

std::vector<QWidget *> ProfileControls::BandFields() const
{
    return {fanSpeedTopBand, topBand, fanSpeedBottomBand, bottomBand, lowShutOff};
}

std::vector<QWidget *> ProfileControls::All() const
{
    return {tachoDependentAlarm, alarmActiveState,  enableMultipoint, inputControlType,
            fanSpeedBottomBand,  fanSpeedTopBand,   highAlarm,        lowAlarm,
            lowShutOff,          outputControlType, speedCap,         softwareNumber,
            versionNumber,       bottomBand,        topBand,          invertPwmOutput};
}
