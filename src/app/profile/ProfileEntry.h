// The profile's fields: the default template, the two forms, the entry checks and the image.
#pragma once

#include "ProfileCodec.h"
#include "TemperatureCodeTable.h"

#include <QString>

class CFanCurvePlot;
class IProfileView;
class QComboBox;
class QLineEdit;
class WindowDialogs;
struct ProfileControls;

class CProfileEntry
{
public:
    CProfileEntry(IProfileView &view, WindowDialogs &dialogs, ProfileControls &controls, CFanCurvePlot &plot);

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

    // Fills the option lists in their fixed orders; positions matter to the image codec; then
    // takes the template's band texts as the last accepted ones.
    void FillOptionLists();
    void RememberAcceptedBands();

    // The image of the profile the fields and the curve show.
    ProfileImage BuildImage() const;
    // An image into the fields, lists, labels, axes and curve.
    void ShowImage(const std::uint8_t *image, bool fromUpload);

    // The last accepted band texts, put back after a refused entry.
    const QString &SavedTopBandText() const { return savedTopBandText; }
    const QString &SavedBottomBandText() const { return savedBottomBandText; }

private:
    void ApplyDecoded(const DecodedProfile &decoded, bool fromUpload);
    void SetFormLabels(InputKind kind);
    void ApplyForm(InputKind kind);
    // ParseBandNumber on a field, writing back what the field must show.
    int ParseBandField(int limit, QLineEdit *field);
    static void Correct(QLineEdit *field, const std::optional<QString> &text);
    static void Correct(QComboBox *field, const std::optional<QString> &text);

    IProfileView &view;
    WindowDialogs &dialogs;
    ProfileControls &controls;
    CFanCurvePlot &plot;
    TemperatureCodeTable temperatureCodes;
    QString savedTopBandText;
    QString savedBottomBandText;
};
