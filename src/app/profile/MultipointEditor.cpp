// Multipoint editing: tracking, double-click points, the Point Linker, keyboard editing.
#include "MultipointEditor.h"

#include "ChartCtrl.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileControls.h"
#include "ProfileEntry.h"
#include "WindowViews.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTrackPeriod = 50;
constexpr int kAfterPointPeriod = 250;
constexpr int kAfterLinkerPeriod = 500;
} // namespace

CMultipointEditor::CMultipointEditor(IProfileView &view, WindowDialogs &dialogs, ProfileControls &controls,
                                     CProfileEntry &entry, CFanCurvePlot &plot, CChartCtrl &chart)
    : view(view), dialogs(dialogs), controls(controls), entry(entry), plot(plot), chart(chart)
{
    for (int i = 0; i < FanCurve::kPoints; ++i)
        undoX[i] = i; // before any point: the empty curve
    connect(&chartTimer, &QTimer::timeout, this, &CMultipointEditor::OnChartTimer);
}

CMultipointEditor::Spot CMultipointEditor::Clamped(Spot s) const
{
    const double axisMax = plot.AxisMax();
    if (std::lround(s.index) < 0)
        s.index = 0;
    if (std::lround(s.value) < 0)
        s.value = 0;
    if (std::lround(s.pwm) < 0)
        s.pwm = 0;
    if (s.index > 255)
        s.index = 255;
    if (std::lround(s.value) > axisMax)
        s.value = axisMax;
    if (std::lround(s.pwm) > 100)
        s.pwm = 100;
    return s;
}

CMultipointEditor::Spot CMultipointEditor::SpotFromChart() const
{
    using Info = CChartCtrl::MouseInfo;
    return {chart.GetMouseInfo(Info::BottomValue), chart.GetMouseInfo(Info::TopValue),
            chart.GetMouseInfo(Info::LeftValue)};
}

void CMultipointEditor::ShowPointCount()
{
    controls.points->setText(QStringLiteral("Points: %1").arg(plot.Curve().DefinedPointCount()));
}

void CMultipointEditor::AddCurvePoint(Spot spot)
{
    const Spot s = Clamped(spot);
    plot.ChangeCurve([&](FanCurve &curve) {
        curve.AddPoint(static_cast<int>(std::lround(s.index)), static_cast<int>(std::lround(s.pwm)));
    });
    ShowPointCount();
}

void CMultipointEditor::OnChartTimer()
{
    if (controls.Multipoint() && (!editAllowed || editAllowed()))
        ChartTimerStep();
}

void CMultipointEditor::ChartTimerStep()
{
    const int state = static_cast<int>(chart.GetMouseInfo(CChartCtrl::MouseInfo::State));
    if (state == CChartCtrl::Moved) {
        const Spot s = Clamped(SpotFromChart());
        if (!view.MonitoringEnabled()) {
            const bool temperature = controls.Kind() == InputKind::Temperature;
            view.SetReadouts(QString::asprintf(temperature ? "Temperature: %0.2f" : "Voltage: %0.2f", s.value),
                             QString::asprintf("PWM: %0.2f", s.pwm));
        }
        plot.SetCursorMarker(s.value, s.pwm);
        chartTimer.start(kTrackPeriod);
    } else if (state == CChartCtrl::RightDown) {
        chartTimer.stop();
        const Spot s = Clamped(SpotFromChart());
        plot.SetCursorMarker(s.value, s.pwm);
        RunPointLinker();
        chartTimer.start(kAfterLinkerPeriod);
    } else if (state == CChartCtrl::DoubleClick && !linkerBusy) {
        view.SwitchMonitoringOff();
        plot.ClearLiveMarker();
        if (!undoPending) {
            lastClick = SpotFromChart();
            const FanCurve &curve = plot.Curve();
            for (int i = 0; i < FanCurve::kPoints; ++i) {
                undoFan[i] = static_cast<std::int32_t>(curve.curveFan[i]);
                undoX[i] = static_cast<std::int32_t>(curve.curveX[i]);
            }
        }
        chartTimer.stop();
        AddCurvePoint(SpotFromChart());
        if (undoPending) {
            lastClick = SpotFromChart();
            undoPending = false;
        }
        chartTimer.start(kAfterPointPeriod);
    }
    chart.GetMouseInfo(CChartCtrl::MouseInfo::Reset);
}

void CMultipointEditor::RunPointLinker()
{
    const MyPointerLinker::Result result = dialogs.PointLinker();
    linkerBusy = true;
    switch (result) {
    case MyPointerLinker::Result::Cancel:
    case MyPointerLinker::Result::Ok: break;
    case MyPointerLinker::Result::Clear:
        undoPending = false;
        plot.ChangeCurve([](FanCurve &curve) { curve.Clear(); });
        controls.points->setText(QStringLiteral("Points: 0"));
        break;
    case MyPointerLinker::Result::Undo: {
        undoPending = true;
        // The table keeps exactly the restored curve, so what is drawn is what a save or download sends.
        const int undone = static_cast<int>(std::lround(Clamped(lastClick).index));
        plot.ChangeCurve([&](FanCurve &curve) {
            for (int i = 0; i < FanCurve::kPoints; ++i) {
                curve.curveX[i] = undoX[i];
                curve.curveFan[i] = undoFan[i];
            }
            curve.pointFan[undone] = 0;
            curve.pointDefined[undone] = 0;
        });
        ShowPointCount();
        break;
    }
    }
    linkerBusy = false;
}

void CMultipointEditor::OnBnClickedEnableMultipoint()
{
    view.ClearLiveIndication();
    if (controls.Multipoint()) {
        undoPending = false;
        plot.ClearShutOffLine();
        // The saved curve comes back exactly as it was left: drawn and stored alike.
        plot.ChangeCurve([this](FanCurve &curve) {
            for (int i = 0; i < FanCurve::kPoints; ++i) {
                curve.curveX[i] = savedMultipointCurve.x[i];
                curve.curveFan[i] = savedMultipointCurve.fan[i];
                curve.pointFan[i] = savedMultipointCurve.pointFan[i];
                curve.pointDefined[i] = savedMultipointCurve.pointDefined[i];
            }
        });
        ShowPointCount();
        plot.SetCursorMarker(0, 0);
        view.SwitchMonitoringOff();
        plot.SetBackground(CFanCurvePlot::multipointBackground);
        plot.ResetLineColours();
        for (QWidget *field : controls.BandFields())
            field->setEnabled(false);
        return;
    }

    plot.ClearCursorMarker();
    const FanCurve &curve = plot.Curve();
    for (int i = 0; i < FanCurve::kPoints; ++i) {
        savedMultipointCurve.x[i] = static_cast<std::int32_t>(curve.curveX[i]);
        savedMultipointCurve.fan[i] = static_cast<std::int32_t>(curve.curveFan[i]);
        savedMultipointCurve.pointFan[i] = curve.pointFan[i];
        savedMultipointCurve.pointDefined[i] = curve.pointDefined[i];
    }
    view.SetReadouts(QString(), QString());
    const bool allUnset = controls.bottomBand->text() == kNotUsed && controls.fanSpeedTopBand->text() == kNotUsed &&
                          controls.fanSpeedBottomBand->text() == kNotUsed && controls.topBand->text() == kNotUsed;
    if (allUnset) {
        view.ClearLiveIndication();
        view.SwitchMonitoringOff();
        entry.LoadDefaultTemplate();
        return;
    }
    plot.ClearCursorMarker();
    plot.ClearBalloonText();
    plot.RebuildBandCurve();
    for (QWidget *field : controls.BandFields())
        field->setEnabled(true);
    view.SwitchMonitoringOff();
    controls.points->clear();
}

bool CMultipointEditor::HandleChartKey(int key)
{
    if (!controls.Multipoint())
        return false;
    Spot &s = keyboardSpot;
    switch (key) {
    case Qt::Key_Left: s.index = std::max(0.0, s.index - 1); break;
    case Qt::Key_Right: s.index = std::min(255.0, s.index + 1); break;
    case Qt::Key_Up: s.pwm = std::min(100.0, s.pwm + 1); break;
    case Qt::Key_Down: s.pwm = std::max(0.0, s.pwm - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: break;
    default: return false;
    }
    const bool add = key == Qt::Key_Return || key == Qt::Key_Enter;
    chart.RecordMouseEvent(add ? CChartCtrl::DoubleClick : CChartCtrl::Moved, plot.PixelOf(s.index, s.pwm));
    return true;
}
