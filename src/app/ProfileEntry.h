#pragma once

#include "ProfileControls.h"

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

private:
    enum class Form { Temperature, Voltage };
    void SetFormLabels(Form form);
    void ApplyForm(Form form);

    ProfileControls &controls;
    CFanCurvePlot &plot;
};
