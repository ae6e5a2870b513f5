#pragma once

#include "ProfileCodec.h"
#include "ProfileControls.h"

#include <vector>

class QWidget;

class CFanCurvePlot;
class CPlexaDlg;
class QComboBox;
class QLineEdit;

// Fills and switches the profile fields: the default template and the temperature and voltage forms.
class CProfileEntry
{
public:
    CProfileEntry(CPlexaDlg &window, ProfileControls &controls, CFanCurvePlot &plot)
        : window(window), controls(controls), plot(plot)
    {
    }

    // Entry rules: each field is checked as it is typed or left.
    void OnEnChangeSoftwareNumber();
    void OnEnKillfocusSoftwareNumber();
    void OnEnChangeVersionNumber();
    void OnEnKillfocusTopBand();
    void OnEnKillfocusBottomBand();
    void OnEnChangeBottomBand();
    void OnEnChangeFanSpeedTopBand();
    void OnEnChangeFanSpeedBottomBand();
    void OnCbnSelchangeLowShutOff();
    void OnCbnEditchangeHighAlarm();
    void OnCbnEditchangeLowAlarm();
    void OnCbnSelchangeInputType();
    void OnCbnSelchangeTachoAlarm();

    void LoadDefaultTemplate();
    void ApplyTemperatureLabels();
    void ApplyVoltageLabels();

    // Fills the option lists in their fixed orders; positions matter to the image codec.
    void FillOptionLists();

    // The profile as the fields show it now.
    ControlProfile ReadProfile() const;
    // Puts a decoded image into the fields, lists, labels, axes and curve.
    void ApplyDecoded(const DecodedProfile &decoded, bool fromUpload);

    // Top and bottom bands, their fan speeds and the shut-off: what multipoint mode rests.
    std::vector<QWidget *> BandFields() const;

private:
    enum class Form { Temperature, Voltage };
    void SetFormLabels(Form form);
    void ApplyForm(Form form);

    // ParseBandNumber on a field, writing back what the field must show.
    int ParseBandField(int limit, QLineEdit *field);
    int ParseBandField(int limit, QComboBox *field);
    void Warn(const QString &caption, const QString &text);
    // The band and alarm limits and the messages follow the Input Control Type's text.
    bool VoltageForm() const;
    QString FormName() const;
    void DefineEndsIfNothingDefined();

    CPlexaDlg &window;
    ProfileControls &controls;
    CFanCurvePlot &plot;
};
