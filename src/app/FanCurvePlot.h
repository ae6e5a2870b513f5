#pragma once

#include "CustomLabelProvider.h"
#include "FanCurve.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <functional>
#include <vector>

class CChartCtrl;
class CChartLineSerie;
class CChartPointsSerie;
class CChartStandardAxis;
struct ProfileControls;

// The fan curve on the chart: its axes and four series, and the band steps that turn the band
// fields into the 256 curve entries.
class CFanCurvePlot
{
public:
    static constexpr double kTemperatureAxisMax = 63.5;
    static constexpr double kVoltageAxisMax = 10.0;
    static inline const QColor bandModeBackground{49, 183, 240};
    static inline const QColor multipointBackground{0, 255, 0};

    CFanCurvePlot(CChartCtrl &chart, ProfileControls &controls, std::function<void()> clearLiveIndication);

    FanCurve curve;

    // Axes, cursor, titles and the four series, once at start.
    void SetUpChart();

    void SetValueAxis(double max, const QString &title);
    void SetPwmAxisTitle(const QString &title);
    double AxisMax() const { return axisMax; }
    QString ValueAxisTitle() const;
    QString PwmAxisTitle() const;

    void SetBackground(QColor colour);
    QColor Background() const;

    void PublishCurve();
    void PlaceTopBand(bool bandMoved = true);
    void PlaceBottomBand(bool bandMoved = true);
    void DrawShutOffLine();
    void RebuildBandCurve();
    void SetShutOffLine(const std::vector<QPointF> &points);
    void ClearShutOffLine();
    void ClearCursorMarker();
    // The live point goes back to 1 x 1 and away; monitoring draws it again at full size.
    void ClearLiveMarker();

    std::vector<QPointF> CurveLine() const;
    std::vector<QPointF> ShutOffLine() const;
    std::vector<QPointF> CursorMarker() const;
    std::vector<QPointF> LiveMarker() const;
    int LiveMarkerSize() const;
    // The controller's operating point, as monitoring shows it.
    void ShowLivePoint(double x, double pwm);

    CChartStandardAxis *valueAxis = nullptr;
    CChartStandardAxis *pwmAxis = nullptr;
    CChartStandardAxis *indexAxis = nullptr;
    CChartPointsSerie *cursorMarker = nullptr;
    CChartLineSerie *curveLine = nullptr;
    CChartLineSerie *shutOffLine = nullptr;
    CChartPointsSerie *liveMarker = nullptr;
    // Shown in the balloon over the mouse marker; kept empty.
    QString balloonText;

private:
    bool VoltageInput() const;

    CChartCtrl &chart;
    ProfileControls &controls;
    std::function<void()> clearLiveIndication;
    double axisMax = kTemperatureAxisMax;
    CCustomLabelProvider labelProvider{balloonText};
};
