#include "FanCurvePlot.h"

void CFanCurvePlot::SetValueAxis(double max, const QString &title)
{
    axisMax = max;
    valueAxisTitle = title;
}

void CFanCurvePlot::PublishCurve()
{
    curveLine.resize(FanCurve::kPoints);
    for (int i = 0; i < FanCurve::kPoints; ++i)
        curveLine[static_cast<std::size_t>(i)] = QPointF(curve.curveX[i], curve.curveFan[i]);
}

void CFanCurvePlot::ClearLiveMarker()
{
    liveMarkerSize = 1;
    liveMarker.clear();
}
