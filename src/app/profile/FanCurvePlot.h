// The fan curve on the chart: its axes, its four series, and the band steps that make the curve.
#pragma once

#include "CustomLabelProvider.h"
#include "ProfileDocument.h"

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

// Draws the document's fan curve: every change of the curve reaches the chart at once, so what is
// drawn is what a save or a download sends. The axis and the background follow the profile's form
// and mode. It changes nothing of the profile.
class CFanCurvePlot : public QObject
{
    Q_OBJECT
public:
    static constexpr double kTemperatureAxisMax = 63.5;
    static constexpr double kVoltageAxisMax = 10.0;
    static inline const QColor bandModeBackground{49, 183, 240};
    static inline const QColor multipointBackground{0, 255, 0};

    CFanCurvePlot(CChartCtrl &chart, const ProfileDocument &document);

    // Axes, cursor, titles and the four series, once at start.
    void SetUpChart();
    // Holds the chart's repaints until the returned guard goes: one repaint for many changes.
    [[nodiscard]] auto OneRepaint()
    {
        EnableRedraw(false);
        return qScopeGuard([this] { EnableRedraw(true); });
    }

    const FanCurve &Curve() const { return document.Curve(); }

    // The value axis, whole, with its title, in the profile's form.
    void ShowForm();
    // The background of the profile's mode: band or multipoint.
    void ShowMode();
    double AxisMax() const { return axisMax; }
    QString ValueAxisTitle() const;
    QString PwmAxisTitle() const;

    void SetBackground(QColor colour);
    QColor Background() const;
    // The curve black and the shut-off step in its colour again.
    void ResetLineColours();

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
    void SetValueAxis(double max, const QString &title);
    void EnableRedraw(bool enable);

    CChartCtrl &chart;
    const ProfileDocument &document;
    FanCurveChart objects;
    double axisMax = kTemperatureAxisMax;
    // Shown in the balloon over the mouse marker; kept empty.
    QString balloonText;
    CCustomLabelProvider labelProvider{balloonText};
};
