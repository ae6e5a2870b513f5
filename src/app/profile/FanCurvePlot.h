// The fan curve on the chart: its axes, its four series, and the band steps that make the curve.
#pragma once

#include "CustomLabelProvider.h"
#include "FanCurve.h"

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QScopeGuard>
#include <QString>

#include <vector>

class CChartCtrl;
class CChartLineSerie;
class CChartPointsSerie;
class CChartStandardAxis;
class CChartTrailSerie;
class IStatusView;
struct ProfileControls;

// The chart objects the curve is drawn with.
struct FanCurveChart
{
    CChartStandardAxis *valueAxis = nullptr; // bottom: degC or V
    CChartStandardAxis *pwmAxis = nullptr;   // left: percent
    CChartStandardAxis *indexAxis = nullptr; // top, hidden: curve entries
    CChartPointsSerie *cursorMarker = nullptr;
    CChartLineSerie *curveLine = nullptr;
    CChartLineSerie *shutOffLine = nullptr;
    CChartPointsSerie *liveMarker = nullptr;
    CChartTrailSerie *trail = nullptr; // where the controller has been working, behind the live point
};

// Owns the fan curve: every change to it goes through here and reaches the chart at once, so what
// is drawn is what a save or a download sends.
class CFanCurvePlot
{
public:
    static constexpr double kTemperatureAxisMax = 63.5;
    static constexpr double kVoltageAxisMax = 10.0;
    static inline const QColor bandModeBackground{49, 183, 240};
    static inline const QColor multipointBackground{0, 255, 0};

    CFanCurvePlot(CChartCtrl &chart, ProfileControls &controls, IStatusView &status);

    // Axes, cursor, titles and the four series, once at start.
    void SetUpChart();
    // Holds the chart's repaints until the returned guard goes: one repaint for many changes.
    [[nodiscard]] auto OneRepaint()
    {
        EnableRedraw(false);
        return qScopeGuard([this] { EnableRedraw(true); });
    }

    const FanCurve &Curve() const { return curve; }
    // Changes the curve and draws it.
    template <class Change> void ChangeCurve(Change &&change)
    {
        change(curve);
        PublishCurve();
    }

    void SetValueAxis(double max, const QString &title);
    void SetPwmAxisTitle(const QString &title);
    double AxisMax() const { return axisMax; }
    QString ValueAxisTitle() const;
    QString PwmAxisTitle() const;

    void SetBackground(QColor colour);
    QColor Background() const;
    // The curve black and the shut-off step in its colour again.
    void ResetLineColours();

    // The band steps read the band fields as they stand.
    void PlaceTopBand(bool bandMoved = true);
    void PlaceBottomBand(bool bandMoved = true);
    void DrawShutOffLine();
    void RebuildBandCurve();
    void SetShutOffLine(const std::vector<QPointF> &points);
    void ClearShutOffLine();

    void SetCursorMarker(double value, double pwm);
    void ClearCursorMarker();
    void ClearBalloonText() { balloonText.clear(); }
    // The live point goes back to 1 x 1 and away; monitoring draws it again at full size.
    void ClearLiveMarker();
    // The controller's operating point, as monitoring shows it; the points before it stay as a
    // fading trail until monitoring stops.
    void ShowLivePoint(double x, double pwm);
    void ClearTrail();
    std::vector<QPointF> Trail() const;
    // Where an entry and a percentage lie on the chart, in pixels.
    QPoint PixelOf(double entry, double pwm) const;

    std::vector<QPointF> CurveLine() const;
    std::vector<QPointF> ShutOffLine() const;
    std::vector<QPointF> CursorMarker() const;
    std::vector<QPointF> LiveMarker() const;
    int LiveMarkerSize() const;
    const FanCurveChart &Objects() const { return objects; }

private:
    void PublishCurve();
    void EnableRedraw(bool enable);

    CChartCtrl &chart;
    ProfileControls &controls;
    IStatusView &status;
    FanCurve curve;
    FanCurveChart objects;
    double axisMax = kTemperatureAxisMax;
    // Shown in the balloon over the mouse marker; kept empty.
    QString balloonText;
    CCustomLabelProvider labelProvider{balloonText};
};
