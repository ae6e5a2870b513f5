// The fan curve on the chart and its band steps.
#include "FanCurvePlot.h"

#include "ChartAxis.h"
#include "ChartBalloonLabel.h"
#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "ChartTrailSerie.h"

#include <QScopeGuard>

namespace {
const QColor kCurveColour{0, 0, 0};
const QColor kShutOffColour{255, 119, 53};
const QColor kTrailColour{255, 255, 255}; // shows on the blue background and on the black curve alike
} // namespace

CFanCurvePlot::CFanCurvePlot(CChartCtrl &chart, const ProfileDocument &document) : chart(chart), document(document) {}

void CFanCurvePlot::SetUpChart()
{
    // One repaint for the whole set-up instead of one per step.
    chart.EnableRedraw(false);
    objects.valueAxis = chart.AddStandardAxis(CChartAxis::Bottom);
    objects.valueAxis->SetRange(0, kTemperatureAxisMax);
    objects.pwmAxis = chart.AddStandardAxis(CChartAxis::Left);
    objects.pwmAxis->SetRange(0, 100);
    objects.indexAxis = chart.AddStandardAxis(CChartAxis::Top);
    objects.indexAxis->SetRange(0, 255);
    objects.indexAxis->SetShown(false);

    chart.CreateCrossHairCursor();

    objects.pwmAxis->GetTitle()->SetText(QStringLiteral("PWM(%)"));
    SetValueAxis(kTemperatureAxisMax, QStringLiteral("Temperature(°C)"));

    objects.cursorMarker = chart.AddPointsSerie(false);
    objects.cursorMarker->SetPointSize(10, 10);
    objects.curveLine = chart.AddLineSerie();
    objects.curveLine->SetWidth(4);
    objects.curveLine->SetColor(kCurveColour);
    objects.shutOffLine = chart.AddLineSerie();
    objects.shutOffLine->SetWidth(3);
    objects.shutOffLine->SetPenStyle(CChartLineSerie::Dashed);
    objects.shutOffLine->SetColor(kShutOffColour);
    objects.liveMarker = chart.AddPointsSerie(true);
    objects.liveMarker->SetPointSize(20, 20);
    // Added after the four series, drawn between the curve and the live point.
    objects.trail = chart.AddTrailSerie(true);
    objects.trail->SetColor(kTrailColour);
    objects.liveMarker->SetZOrder(1);

    // The empty curve until the profile is loaded.
    FanCurve empty;
    objects.curveLine->ReplacePoints(empty.curveX.data(), empty.curveFan.data(), FanCurve::kPoints);

    objects.cursorMarker->AttachLabel(0, std::make_unique<CChartBalloonLabel>(objects.cursorMarker, 0, &labelProvider));
    chart.EnableRedraw(true);

    connect(&document, &ProfileDocument::curveChanged, this, &CFanCurvePlot::PublishCurve);
    connect(&document, &ProfileDocument::fieldChanged, this, [this](ProfileField field) {
        if (field == ProfileField::InputControlType)
            ShowForm();
    });
    connect(&document, &ProfileDocument::multipointChanged, this, &CFanCurvePlot::ShowMode);
    connect(&document, &ProfileDocument::replaced, this, [this] {
        const auto repaint = OneRepaint();
        PublishCurve();
        ShowForm();
        ShowMode();
    });
}

void CFanCurvePlot::ShowForm()
{
    const bool temperature = document.Kind() == InputKind::Temperature;
    SetValueAxis(temperature ? kTemperatureAxisMax : kVoltageAxisMax,
                 temperature ? QStringLiteral("Temperature(°C)") : QStringLiteral("Voltage(V)"));
}

void CFanCurvePlot::ShowMode()
{
    SetBackground(document.Multipoint() ? multipointBackground : bandModeBackground);
}

void CFanCurvePlot::EnableRedraw(bool enable)
{
    chart.EnableRedraw(enable);
}

void CFanCurvePlot::SetValueAxis(double max, const QString &title)
{
    axisMax = max;
    objects.valueAxis->GetTitle()->SetText(title);
    objects.valueAxis->SetRange(0, max);
}

QString CFanCurvePlot::ValueAxisTitle() const
{
    return objects.valueAxis->GetTitle()->GetText();
}

QString CFanCurvePlot::PwmAxisTitle() const
{
    return objects.pwmAxis->GetTitle()->GetText();
}

void CFanCurvePlot::SetBackground(QColor colour)
{
    chart.EnableRedraw(false);
    chart.SetBackColor(colour);
    chart.SetBackGradient(false);
    chart.EnableRedraw(true);
}

QColor CFanCurvePlot::Background() const
{
    return chart.GetBackColor();
}

void CFanCurvePlot::ResetLineColours()
{
    objects.shutOffLine->SetColor(kShutOffColour);
    objects.curveLine->SetColor(kCurveColour);
}

void CFanCurvePlot::PublishCurve()
{
    const FanCurve &curve = document.Curve();
    objects.curveLine->ReplacePoints(curve.curveX.data(), curve.curveFan.data(), FanCurve::kPoints);
}

void CFanCurvePlot::SetShutOffLine(const std::vector<QPointF> &points)
{
    chart.EnableRedraw(false);
    objects.shutOffLine->RemoveAllPoints();
    for (QPointF p : points)
        objects.shutOffLine->AppendPoint(p);
    chart.EnableRedraw(true);
}

void CFanCurvePlot::ClearShutOffLine()
{
    objects.shutOffLine->RemoveAllPoints();
}

void CFanCurvePlot::SetCursorMarker(double value, double pwm)
{
    objects.cursorMarker->ReplacePoints(&value, &pwm, 1);
}

void CFanCurvePlot::ClearCursorMarker()
{
    // Emptied by replacing with no points, so the balloon label stays attached.
    objects.cursorMarker->ReplacePoints(nullptr, nullptr, 0);
}

void CFanCurvePlot::ClearLiveMarker()
{
    chart.EnableRedraw(false);
    objects.liveMarker->SetPointSize(1, 1);
    objects.liveMarker->RemoveAllPoints();
    chart.EnableRedraw(true);
}

void CFanCurvePlot::ShowLivePoint(double x, double pwm)
{
    chart.EnableRedraw(false);
    objects.trail->AddPoint(QPointF(x, pwm));
    objects.liveMarker->SetPointSize(18, 18);
    objects.liveMarker->RemoveAllPoints();
    objects.liveMarker->AppendPoint(QPointF(x, pwm));
    chart.EnableRedraw(true);
}

void CFanCurvePlot::ClearTrail()
{
    objects.trail->Clear();
}

std::vector<QPointF> CFanCurvePlot::Trail() const
{
    return objects.trail->Points();
}

QPoint CFanCurvePlot::PixelOf(double entry, double pwm) const
{
    return {objects.indexAxis->ValueToPixel(entry), objects.pwmAxis->ValueToPixel(pwm)};
}

std::vector<QPointF> CFanCurvePlot::CurveLine() const
{
    return objects.curveLine->Points();
}

std::vector<QPointF> CFanCurvePlot::ShutOffLine() const
{
    return objects.shutOffLine->Points();
}

std::vector<QPointF> CFanCurvePlot::CursorMarker() const
{
    return objects.cursorMarker->Points();
}

std::vector<QPointF> CFanCurvePlot::LiveMarker() const
{
    return objects.liveMarker->Points();
}

int CFanCurvePlot::LiveMarkerSize() const
{
    return objects.liveMarker->PointWidth();
}
