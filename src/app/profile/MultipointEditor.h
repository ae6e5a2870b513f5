// Shaping the curve point by point on the chart, from the mouse events the chart records.
#pragma once

#include "FanCurve.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

class CChartCtrl;
class CFanCurvePlot;
class CProfileEntry;
class CProfileForm;
class IProfileView;
class ProfileDocument;
class WindowDialogs;

// The chart's events are taken on the ticks of the chart timer, which this editor owns.
class CMultipointEditor : public QObject
{
    Q_OBJECT
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
    static constexpr int kStartPeriod = 150;

    CMultipointEditor(IProfileView &view, WindowDialogs &dialogs, ProfileDocument &document, CProfileForm &form,
                      CProfileEntry &entry, CFanCurvePlot &plot, CChartCtrl &chart);

    // Editing waits while this says no (a transfer runs); the window decides.
    void SetEditGate(std::function<bool()> gate) { editAllowed = std::move(gate); }
    void Start() { chartTimer.start(kStartPeriod); }
    QTimer &ChartTimer() { return chartTimer; }

    void OnBnClickedEnableMultipoint();
    // One tick of the chart timer: works only in multipoint mode while editing is allowed.
    void OnChartTimer();
    void AddCurvePoint(Spot spot);
    void RunPointLinker();

    // Keyboard editing on the focused chart: arrows move the marker, Enter adds the point there,
    // the Menu key opens the Point Linker there.
    bool HandleChartKey(int key);

    Spot Clamped(Spot spot) const;
    bool UndoPending() const { return undoPending; }
    bool LinkerBusy() const { return linkerBusy; }
    Spot LastClick() const { return lastClick; }
    Spot KeyboardSpot() const { return keyboardSpot; }

private:
    void ChartTimerStep();
    Spot SpotFromChart() const;
    void ShowPointCount();

    IProfileView &view;
    WindowDialogs &dialogs;
    ProfileDocument &document;
    CProfileForm &form;
    CProfileEntry &entry;
    CFanCurvePlot &plot;
    CChartCtrl &chart;
    std::function<bool()> editAllowed;
    QTimer chartTimer;
    SavedCurve savedMultipointCurve;
    std::array<std::int32_t, FanCurve::kPoints> undoX{};
    std::array<std::int32_t, FanCurve::kPoints> undoFan{};
    Spot lastClick;
    bool undoPending = false;
    bool linkerBusy = false;
    Spot keyboardSpot{0, 128, 50};
};
