#pragma once

#include "FanCurve.h"

#include <array>
#include <cstdint>

class CPlexaDlg;

// Shaping the curve point by point on the chart: the mouse events the chart records are taken
// on the chart timer's ticks.
class CMultipointEditor
{
public:
    // The multipoint curve kept while band mode is on.
    struct SavedCurve
    {
        std::array<std::int32_t, FanCurve::kPoints> x{};
        std::array<std::int32_t, FanCurve::kPoints> fan{};
        std::array<std::int32_t, FanCurve::kPoints> pointFan{};
        std::array<std::int32_t, FanCurve::kPoints> pointDefined{};
        SavedCurve()
        {
            for (int i = 0; i < FanCurve::kPoints; ++i)
                x[i] = i;
        }
    };
    // A spot on the chart: value (degC or V), curve entry, PWM percent.
    struct Spot
    {
        double value = 0;
        double index = 0;
        double pwm = 0;
    };

    explicit CMultipointEditor(CPlexaDlg &window) : window(window)
    {
        for (int i = 0; i < FanCurve::kPoints; ++i)
            undoX[i] = i; // before any point: the empty curve
    }

    void OnBnClickedEnableMultipoint();
    // One tick of the chart timer, already past its gate.
    void ChartTimerStep();
    void AddCurvePoint(Spot spot);
    void RunPointLinker();

    // Keyboard editing on the focused chart: arrows move the marker, Enter adds the point there.
    bool HandleChartKey(int key);

    Spot Clamped(Spot spot) const;
    bool UndoPending() const { return undoPending; }
    bool LinkerBusy() const { return linkerBusy; }
    Spot LastClick() const { return lastClick; }
    Spot KeyboardSpot() const { return keyboardSpot; }

private:
    Spot SpotFromChart() const;
    void ShowPointCount();
    void SetMarker(double value, double pwm);

    CPlexaDlg &window;
    SavedCurve savedMultipointCurve;
    std::array<std::int32_t, FanCurve::kPoints> undoX{};
    std::array<std::int32_t, FanCurve::kPoints> undoFan{};
    Spot lastClick;
    bool undoPending = false;
    bool linkerBusy = false;
    Spot keyboardSpot{0, 128, 50};
};
