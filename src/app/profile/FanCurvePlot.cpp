// The fan curve on the chart and its band steps.
#include "FanCurvePlot.h"

#include "BandCurve.h"
#include "ChartAxis.h"
#include "ChartBalloonLabel.h"
#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "ChartTrailSerie.h"
#include "EntryRules.h"
#include "ProfileControls.h"
#include "WindowViews.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>

namespace {
const QColor kCurveColour{0, 0, 0};
const QColor kShutOffColour{255, 119, 53};
const QColor kTrailColour{255, 255, 255}; // shows on the blue background and on the black curve alike
} // namespace

CFanCurvePlot::CFanCurvePlot(CChartCtrl &chart, ProfileControls &controls, IStatusView &status)
    : chart(chart), controls(controls), status(status)
{
}

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

    SetPwmAxisTitle(QStringLiteral("PWM(%)"));
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

    ChangeCurve([](FanCurve &c) { c.Clear(); });

    objects.cursorMarker->AttachLabel(0, std::make_unique<CChartBalloonLabel>(objects.cursorMarker, 0, &labelProvider));
    chart.EnableRedraw(true);
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

void CFanCurvePlot::SetPwmAxisTitle(const QString &title)
{
    objects.pwmAxis->GetTitle()->SetText(title);
    chart.Redraw();
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
    objects.curveLine->ReplacePoints(curve.curveX.data(), curve.curveFan.data(), FanCurve::kPoints);
}

void CFanCurvePlot::PlaceTopBand(bool bandMoved)
{
    const QString topText = controls.topBand->text();
    if (!bandMoved && topText == kNotUsed)
        return;
    const int k = BandIndex(topText, controls.Kind());
    const int p = ReadNumber(controls.fanSpeedTopBand->text()); // "N/A" and empty read as 0
    chart.EnableRedraw(false);                                  // one redraw for the curve and the step together
    ChangeCurve([&](FanCurve &c) { c.PlaceTopBand(k, p, bandMoved); });
    controls.points->clear();
    DrawShutOffLine();
    chart.EnableRedraw(true);
}

void CFanCurvePlot::PlaceBottomBand(bool bandMoved)
{
    const QString bottomText = controls.bottomBand->text();
    if (!bandMoved && bottomText == kNotUsed)
        return;
    const int k = BandIndex(bottomText, controls.Kind());
    if (k >= 1 && k < FanCurve::kPoints)
        curve.curveX[k] = k;
    const QString fanText = controls.fanSpeedBottomBand->text();
    if (fanText == kNotUsed || fanText.isEmpty())
        return;
    chart.EnableRedraw(false);
    ChangeCurve([&](FanCurve &c) { c.PlaceBottomBand(k, ReadNumber(fanText), bandMoved); });
    controls.points->clear();
    DrawShutOffLine();
    chart.EnableRedraw(true);
}

void CFanCurvePlot::DrawShutOffLine()
{
    // Every way out of here redraws once, when the bracket closes.
    chart.EnableRedraw(false);
    const auto redraw = qScopeGuard([this] { chart.EnableRedraw(true); });
    status.ClearLiveIndication();
    objects.shutOffLine->RemoveAllPoints();

    const QString bottomText = controls.bottomBand->text();
    const QString fanText = controls.fanSpeedBottomBand->text();
    const ShutOffCheck check = CheckShutOff(controls.lowShutOff->currentText(), bottomText, fanText);
    if (check.fieldText)
        controls.lowShutOff->setEditText(*check.fieldText);
    if (!check.value)
        return;
    const int f = ReadNumber(fanText);
    const ShutOffEntries entries = ShutOffStepEntries(controls.Kind(), *check.value, ReadNumber(bottomText));
    objects.shutOffLine->AppendPoint(QPointF(entries.shutOff, 0));
    objects.shutOffLine->AppendPoint(QPointF(entries.shutOff, f));
    objects.shutOffLine->AppendPoint(QPointF(entries.bottom, f));
}

void CFanCurvePlot::RebuildBandCurve()
{
    chart.EnableRedraw(false);
    ClearCursorMarker();
    objects.shutOffLine->RemoveAllPoints();
    ChangeCurve([this](FanCurve &c) { ::RebuildBandCurve(c, controls.Read()); });
    controls.points->clear();
    DrawShutOffLine();
    SetBackground(bandModeBackground);
    chart.EnableRedraw(true);
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
