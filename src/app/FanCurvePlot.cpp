#include "FanCurvePlot.h"

#include "ChartAxis.h"
#include "ChartBalloonLabel.h"
#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "EntryRules.h"
#include "ProfileRules.h"
#include "ProfileControls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>

namespace {
const QString kNotUsed = QStringLiteral("N/A");

std::vector<QPointF> PointsOf(const CChartSerie *serie)
{
    return serie->Points();
}
} // namespace

CFanCurvePlot::CFanCurvePlot(CChartCtrl &chart, ProfileControls &controls, std::function<void()> clearLiveIndication)
    : chart(chart), controls(controls), clearLiveIndication(std::move(clearLiveIndication))
{
}

void CFanCurvePlot::SetUpChart()
{
    // One repaint for the whole set-up instead of one per step.
    chart.EnableRedraw(false);
    valueAxis = chart.AddStandardAxis(CChartAxis::Bottom);
    valueAxis->SetRange(0, kTemperatureAxisMax);
    pwmAxis = chart.AddStandardAxis(CChartAxis::Left);
    pwmAxis->SetRange(0, 100);
    indexAxis = chart.AddStandardAxis(CChartAxis::Top);
    indexAxis->SetRange(0, 255);
    indexAxis->SetShown(false);

    chart.CreateCrossHairCursor();

    SetPwmAxisTitle(QStringLiteral("PWM(%)"));
    SetValueAxis(kTemperatureAxisMax, QStringLiteral("Temperature(°C)"));

    cursorMarker = chart.AddPointsSerie(false);
    cursorMarker->SetPointSize(10, 10);
    curveLine = chart.AddLineSerie();
    curveLine->SetWidth(4);
    curveLine->SetColor(QColor(0, 0, 0));
    shutOffLine = chart.AddLineSerie();
    shutOffLine->SetWidth(3);
    shutOffLine->SetPenStyle(CChartLineSerie::Dashed);
    shutOffLine->SetColor(QColor(255, 119, 53));
    liveMarker = chart.AddPointsSerie(true);
    liveMarker->SetPointSize(20, 20);

    curve.Clear();
    PublishCurve();

    cursorMarker->AttachLabel(0, std::make_unique<CChartBalloonLabel>(cursorMarker, 0, &labelProvider));
    chart.EnableRedraw(true);
}

void CFanCurvePlot::SetValueAxis(double max, const QString &title)
{
    axisMax = max;
    valueAxis->GetTitle()->SetText(title);
    valueAxis->SetRange(0, max);
}

void CFanCurvePlot::SetPwmAxisTitle(const QString &title)
{
    pwmAxis->GetTitle()->SetText(title);
    chart.Redraw();
}

QString CFanCurvePlot::ValueAxisTitle() const
{
    return valueAxis->GetTitle()->GetText();
}

QString CFanCurvePlot::PwmAxisTitle() const
{
    return pwmAxis->GetTitle()->GetText();
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

void CFanCurvePlot::PublishCurve()
{
    curveLine->ReplacePoints(curve.curveX.data(), curve.curveFan.data(), FanCurve::kPoints);
}

bool CFanCurvePlot::VoltageInput() const
{
    return controls.inputControlType->currentText() == QStringLiteral("Voltage");
}

void CFanCurvePlot::PlaceTopBand(bool bandMoved)
{
    const QString topText = controls.topBand->text();
    if (!bandMoved && topText == kNotUsed)
        return;
    const int k = BandIndex(topText, VoltageInput());
    const int p = ReadNumber(controls.fanSpeedTopBand->text()); // "N/A" and empty read as 0
    curve.PlaceTopBand(k, p, bandMoved);
    chart.EnableRedraw(false); // one redraw for the curve and the step together
    PublishCurve();
    controls.points->clear();
    DrawShutOffLine();
    chart.EnableRedraw(true);
}

void CFanCurvePlot::PlaceBottomBand(bool bandMoved)
{
    const QString bottomText = controls.bottomBand->text();
    if (!bandMoved && bottomText == kNotUsed)
        return;
    const int k = BandIndex(bottomText, VoltageInput());
    if (k >= 1 && k < FanCurve::kPoints)
        curve.curveX[k] = k;
    const QString fanText = controls.fanSpeedBottomBand->text();
    if (fanText == kNotUsed || fanText.isEmpty())
        return;
    curve.PlaceBottomBand(k, ReadNumber(fanText), bandMoved);
    chart.EnableRedraw(false);
    PublishCurve();
    controls.points->clear();
    DrawShutOffLine();
    chart.EnableRedraw(true);
}

void CFanCurvePlot::DrawShutOffLine()
{
    // Every way out of here redraws once, when the bracket closes.
    chart.EnableRedraw(false);
    const auto redraw = qScopeGuard([this] { chart.EnableRedraw(true); });
    if (clearLiveIndication)
        clearLiveIndication();
    shutOffLine->RemoveAllPoints();

    const QString bottomText = controls.bottomBand->text();
    const QString fanText = controls.fanSpeedBottomBand->text();
    const QString shutText = controls.lowShutOff->currentText();
    const int b = ReadNumber(bottomText);
    const int f = ReadNumber(fanText);
    if (shutText == kNotUsed)
        return;
    int s = kAlwaysOnShutOff;
    if (shutText != QStringLiteral("Always On")) {
        const BandNumber checked = ParseBandNumber(b - 1, shutText);
        if (checked.fieldText)
            controls.lowShutOff->setEditText(*checked.fieldText);
        if (checked.value == NotSetValue)
            return;
        s = checked.value;
    }
    if (fanText == kNotUsed || bottomText == kNotUsed) {
        controls.lowShutOff->setEditText(kNotUsed);
        return;
    }
    const ShutOffEntries entries = ShutOffStepEntries(VoltageInput(), s, b);
    shutOffLine->AppendPoint(QPointF(entries.shutOff, 0));
    shutOffLine->AppendPoint(QPointF(entries.shutOff, f));
    shutOffLine->AppendPoint(QPointF(entries.bottom, f));
}

void CFanCurvePlot::RebuildBandCurve()
{
    chart.EnableRedraw(false);
    ClearCursorMarker();
    shutOffLine->RemoveAllPoints();
    curve.curveFan.fill(0);
    curve.pointFan.fill(0);
    curve.pointDefined.fill(0);
    PublishCurve();
    PlaceTopBand();
    PlaceBottomBand();
    DrawShutOffLine();
    SetBackground(bandModeBackground);
    chart.EnableRedraw(true);
}

void CFanCurvePlot::SetShutOffLine(const std::vector<QPointF> &points)
{
    chart.EnableRedraw(false);
    shutOffLine->RemoveAllPoints();
    for (QPointF p : points)
        shutOffLine->AppendPoint(p);
    chart.EnableRedraw(true);
}

void CFanCurvePlot::ClearShutOffLine()
{
    shutOffLine->RemoveAllPoints();
}

void CFanCurvePlot::ClearCursorMarker()
{
    // Emptied by replacing with no points, so the balloon label stays attached.
    cursorMarker->ReplacePoints(nullptr, nullptr, 0);
}

void CFanCurvePlot::ClearLiveMarker()
{
    chart.EnableRedraw(false);
    liveMarker->SetPointSize(1, 1);
    liveMarker->RemoveAllPoints();
    chart.EnableRedraw(true);
}

std::vector<QPointF> CFanCurvePlot::CurveLine() const
{
    return PointsOf(curveLine);
}

std::vector<QPointF> CFanCurvePlot::ShutOffLine() const
{
    return PointsOf(shutOffLine);
}

std::vector<QPointF> CFanCurvePlot::CursorMarker() const
{
    return PointsOf(cursorMarker);
}

std::vector<QPointF> CFanCurvePlot::LiveMarker() const
{
    return PointsOf(liveMarker);
}

int CFanCurvePlot::LiveMarkerSize() const
{
    return liveMarker->PointWidth();
}

void CFanCurvePlot::ShowLivePoint(double x, double pwm)
{
    chart.EnableRedraw(false);
    liveMarker->SetPointSize(18, 18);
    liveMarker->RemoveAllPoints();
    liveMarker->AppendPoint(QPointF(x, pwm));
    chart.EnableRedraw(true);
}
