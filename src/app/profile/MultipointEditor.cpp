// Multipoint editing: tracking, double-click points, the Point Linker, keyboard editing.
#include "MultipointEditor.h"

#include "ChartCtrl.h"
#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileEntry.h"
#include "ProfileForm.h"
#include "WindowViews.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTrackPeriod = 50;
constexpr int kAfterPointPeriod = 250;
constexpr int kAfterLinkerPeriod = 500;
} // namespace

CMultipointEditor::CMultipointEditor(IProfileView &view, WindowDialogs &dialogs, ProfileDocument &document,
                                     CProfileForm &form, CProfileEntry &entry, CFanCurvePlot &plot, CChartCtrl &chart)
    : view(view), dialogs(dialogs), document(document), form(form), entry(entry), plot(plot), chart(chart)
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
    form.SetPointsText(QStringLiteral("Points: %1").arg(document.Curve().DefinedPointCount()));
}

void CMultipointEditor::AddCurvePoint(Spot spot)
{
    const Spot s = Clamped(spot);
    document.ChangeCurve([&](FanCurve &curve) {
        curve.AddPoint(static_cast<int>(std::lround(s.index)), static_cast<int>(std::lround(s.pwm)));
    });
    ShowPointCount();
}

void CMultipointEditor::OnChartTimer()
{
    if (document.Multipoint() && (!editAllowed || editAllowed()))
        ChartTimerStep();
}

void CMultipointEditor::ChartTimerStep()
{
    const int state = static_cast<int>(chart.GetMouseInfo(CChartCtrl::MouseInfo::State));
    if (state == CChartCtrl::Moved) {
        const Spot s = Clamped(SpotFromChart());
        if (!view.MonitoringEnabled()) {
            const bool temperature = document.Kind() == InputKind::Temperature;
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
        const ProfileDocument::Edit edit(document, QStringLiteral("Add Point"));
        view.SwitchMonitoringOff();
        plot.ClearLiveMarker();
        if (!undoPending) {
            lastClick = SpotFromChart();
            const FanCurve &curve = document.Curve();
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
    const PointLinkerChoice result = dialogs.PointLinker();
    linkerBusy = true;
    switch (result) {
    case PointLinkerChoice::Cancel:
    case PointLinkerChoice::Ok: break;
    case PointLinkerChoice::Clear: {
        const ProfileDocument::Edit edit(document, QStringLiteral("Clear Plot"));
        undoPending = false;
        document.ChangeCurve([](FanCurve &curve) { curve.Clear(); });
        form.SetPointsText(QStringLiteral("Points: 0"));
        break;
    }
    case PointLinkerChoice::Undo: {
        const ProfileDocument::Edit edit(document, QStringLiteral("Point Linker Undo"));
        undoPending = true;
        // The table keeps exactly the restored curve, so what is drawn is what a save or download sends.
        const int undone = static_cast<int>(std::lround(Clamped(lastClick).index));
        document.ChangeCurve([&](FanCurve &curve) {
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
    if (document.Multipoint()) {
        undoPending = false;
        plot.ClearShutOffLine();
        // The saved curve comes back exactly as it was left: drawn and stored alike.
        document.ChangeCurve([this](FanCurve &curve) {
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
        plot.ShowMode();
        plot.ResetLineColours();
        form.SetBandFieldsEnabled(false);
        return;
    }

    plot.ClearCursorMarker();
    const FanCurve &curve = document.Curve();
    for (int i = 0; i < FanCurve::kPoints; ++i) {
        savedMultipointCurve.x[i] = static_cast<std::int32_t>(curve.curveX[i]);
        savedMultipointCurve.fan[i] = static_cast<std::int32_t>(curve.curveFan[i]);
        savedMultipointCurve.pointFan[i] = curve.pointFan[i];
        savedMultipointCurve.pointDefined[i] = curve.pointDefined[i];
    }
    view.SetReadouts(QString(), QString());
    const bool allUnset = document.Text(ProfileField::BottomBand) == kNotUsed &&
                          document.Text(ProfileField::FanSpeedTopBand) == kNotUsed &&
                          document.Text(ProfileField::FanSpeedBottomBand) == kNotUsed &&
                          document.Text(ProfileField::TopBand) == kNotUsed;
    if (allUnset) {
        view.ClearLiveIndication();
        view.SwitchMonitoringOff();
        entry.LoadDefaultTemplate();
        return;
    }
    plot.ClearCursorMarker();
    plot.ClearBalloonText();
    entry.RebuildBandCurve();
    plot.ShowMode();
    form.SetBandFieldsEnabled(true);
    view.SwitchMonitoringOff();
    form.SetPointsText(QString());
}

bool CMultipointEditor::HandleChartKey(int key)
{
    if (!document.Multipoint())
        return false;
    Spot &s = keyboardSpot;
    switch (key) {
    case Qt::Key_Left: s.index = std::max(0.0, s.index - 1); break;
    case Qt::Key_Right: s.index = std::min(255.0, s.index + 1); break;
    case Qt::Key_Up: s.pwm = std::min(100.0, s.pwm + 1); break;
    case Qt::Key_Down: s.pwm = std::max(0.0, s.pwm - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: break;
    case Qt::Key_Menu:
        // The right button's Point Linker, at the keyboard's marker.
        chart.RecordMouseEvent(CChartCtrl::RightDown, plot.PixelOf(s.index, s.pwm));
        return true;
    default: return false;
    }
    const bool add = key == Qt::Key_Return || key == Qt::Key_Enter;
    chart.RecordMouseEvent(add ? CChartCtrl::DoubleClick : CChartCtrl::Moved, plot.PixelOf(s.index, s.pwm));
    return true;
}
