#pragma once

#include "FanCurve.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <vector>

// The fan curve and what the chart shows of it: axis ranges and titles, and the point sets of the
// four series (mouse marker, curve, shut-off step, live marker) in the order they are drawn.
class CFanCurvePlot
{
public:
    static constexpr double kTemperatureAxisMax = 63.5;
    static constexpr double kVoltageAxisMax = 10.0;

    FanCurve curve;

    void SetValueAxis(double max, const QString &title);
    void SetPwmAxisTitle(const QString &title) { pwmAxisTitle = title; }
    double AxisMax() const { return axisMax; }
    const QString &ValueAxisTitle() const { return valueAxisTitle; }
    const QString &PwmAxisTitle() const { return pwmAxisTitle; }

    void SetBackground(QColor colour) { background = colour; }
    QColor Background() const { return background; }

    // Hands the 256 curve entries to the curve series.
    void PublishCurve();
    const std::vector<QPointF> &CurveLine() const { return curveLine; }

    void SetShutOffLine(std::vector<QPointF> points) { shutOffLine = std::move(points); }
    void ClearShutOffLine() { shutOffLine.clear(); }
    const std::vector<QPointF> &ShutOffLine() const { return shutOffLine; }

    void ClearCursorMarker() { cursorMarker.clear(); }
    const std::vector<QPointF> &CursorMarker() const { return cursorMarker; }

    // The live point goes back to 1 x 1 and away; monitoring draws it again at full size.
    void ClearLiveMarker();
    const std::vector<QPointF> &LiveMarker() const { return liveMarker; }
    int LiveMarkerSize() const { return liveMarkerSize; }

private:
    double axisMax = kTemperatureAxisMax;
    QString valueAxisTitle;
    QString pwmAxisTitle;
    QColor background;
    std::vector<QPointF> cursorMarker;
    std::vector<QPointF> curveLine;
    std::vector<QPointF> shutOffLine;
    std::vector<QPointF> liveMarker;
    int liveMarkerSize = 1;
};
