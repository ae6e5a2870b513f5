#pragma once

#include "ProfileCodec.h"
#include "ProfileControls.h"

#include <vector>

class QWidget;

class CFanCurvePlot;

// Fills and switches the profile fields: the default template and the temperature and voltage forms.
class CProfileEntry
{
public:
    CProfileEntry(ProfileControls &controls, CFanCurvePlot &plot) : controls(controls), plot(plot) {}

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

    ProfileControls &controls;
    CFanCurvePlot &plot;
};
