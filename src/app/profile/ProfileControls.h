// The controls that hold the profile: the profile lives in their texts and list positions.
#pragma once

#include "ControlProfile.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// The window creates them; the profile's editors read and write them.
struct ProfileControls
{
    QComboBox *inputControlType = nullptr;    // 1022
    QComboBox *outputControlType = nullptr;   // 1025
    QLineEdit *softwareNumber = nullptr;      // 1008
    QLineEdit *versionNumber = nullptr;       // 1009
    QLineEdit *fanSpeedTopBand = nullptr;     // 1053
    QLineEdit *topBand = nullptr;             // 1056
    QLineEdit *fanSpeedBottomBand = nullptr;  // 1054
    QLineEdit *bottomBand = nullptr;          // 1055
    QComboBox *lowShutOff = nullptr;          // 1013, editable
    QComboBox *speedCap = nullptr;            // 1014
    QComboBox *invertPwmOutput = nullptr;     // 1039
    QComboBox *tachoDependentAlarm = nullptr; // 1024
    QComboBox *highAlarm = nullptr;           // 1015, editable
    QComboBox *lowAlarm = nullptr;            // 1017, editable
    QComboBox *alarmActiveState = nullptr;    // 1018

    QLabel *topBandLabel = nullptr;    // 1026
    QLabel *bottomBandLabel = nullptr; // 1027
    QLabel *lowShutOffLabel = nullptr; // 1028
    QLabel *highAlarmLabel = nullptr;  // 1029
    QLabel *lowAlarmLabel = nullptr;   // 1030

    QCheckBox *enableMultipoint = nullptr; // 1031
    QLabel *points = nullptr;              // 1033

    // The profile as the fields show it now.
    ControlProfile Read() const;
    // The form the Input Control Type list selects.
    InputKind Kind() const;
    bool Multipoint() const;
    // Top and bottom bands, their fan speeds and the shut-off: what multipoint mode rests.
    std::vector<QWidget *> BandFields() const;
    // Every control of the profile, for locking it during a transfer.
    std::vector<QWidget *> All() const;
};
