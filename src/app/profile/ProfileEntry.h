// The profile's entry handlers: each field is checked as it is typed or left, and the band steps
// redraw the curve; all of it on the profile document.
#pragma once

#include "ProfileDocument.h"

#include <QString>

class CFanCurvePlot;
class CProfileForm;
class IProfileView;
class WindowDialogs;

class CProfileEntry
{
public:
    CProfileEntry(ProfileDocument &document, CProfileForm &form, IProfileView &view, WindowDialogs &dialogs,
                  CFanCurvePlot &plot);

    // What the form reports, to the handler of that field and event.
    void Typed(ProfileField field);
    void Chosen(ProfileField field);
    void Left(ProfileField field);

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

    // The band steps as the window runs them: the curve, the "Points:" text and the shut-off step.
    void PlaceTopBand(bool bandMoved = true);
    void PlaceBottomBand(bool bandMoved = true);
    void DrawShutOffLine();
    void RebuildBandCurve();

    // An image into the fields, lists, labels, axes and curve.
    void ShowImage(const std::uint8_t *image, bool fromUpload);
    // After the whole profile changed at once (undo, redo, a recovered profile): the controls
    // that follow the profile, the shut-off step and the last accepted bands.
    void ShowReplaced();

    // The last accepted band texts, put back after a refused entry.
    const QString &SavedTopBandText() const { return savedTopBandText; }
    const QString &SavedBottomBandText() const { return savedBottomBandText; }
    void RememberAcceptedBands();

private:
    // ParseBandNumber on a field, writing back what the field must show.
    int ParseBandField(int limit, ProfileField field);
    void Correct(ProfileField field, const std::optional<QString> &text);
    const QString &Text(ProfileField field) const { return document.Text(field); }

    ProfileDocument &document;
    CProfileForm &form;
    IProfileView &view;
    WindowDialogs &dialogs;
    CFanCurvePlot &plot;
    QString savedTopBandText;
    QString savedBottomBandText;
};
