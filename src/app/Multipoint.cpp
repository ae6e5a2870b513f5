#include "Multipoint.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"
#include "ChartLineSerie.h"
#include "ChartPointsSerie.h"
#include "ChartStandardAxis.h"
#include "PlexaDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTrackPeriod = 50;
constexpr int kAfterPointPeriod = 250;
constexpr int kAfterLinkerPeriod = 500;
} // namespace

CMultipointEditor::Spot CMultipointEditor::Clamped(Spot s) const
{
    const double axisMax = window.Plot().AxisMax();
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
    CChartCtrl *chart = window.Chart();
    return {chart->GetMouseInfo(6), chart->GetMouseInfo(8), chart->GetMouseInfo(7)};
}

void CMultipointEditor::ShowPointCount()
{
    window.Profile().points->setText(QStringLiteral("Points: %1").arg(window.Plot().curve.DefinedPointCount()));
}

void CMultipointEditor::SetMarker(double value, double pwm)
{
    window.Plot().cursorMarker->ReplacePoints(&value, &pwm, 1);
}

void CMultipointEditor::AddCurvePoint(Spot spot)
{
    const Spot s = Clamped(spot);
    window.Plot().curve.AddPoint(static_cast<int>(std::lround(s.index)), static_cast<int>(std::lround(s.pwm)));
    window.Plot().PublishCurve();
    ShowPointCount();
}

void CMultipointEditor::ChartTimerStep()
{
    CChartCtrl *chart = window.Chart();
    const int state = static_cast<int>(chart->GetMouseInfo(5));
    if (state == CChartCtrl::Moved) {
        const Spot s = Clamped(SpotFromChart());
        if (!window.monitoringEnabled) {
            const bool temperature = window.Profile().inputControlType->currentText() == QStringLiteral("Temperature");
            window.SetReadouts(QString::asprintf(temperature ? "Temperature: %0.2f" : "Voltage: %0.2f", s.value),
                               QString::asprintf("PWM: %0.2f", s.pwm));
        }
        SetMarker(s.value, s.pwm);
        window.SetTimer(CPlexaDlg::kChartTimer, kTrackPeriod);
    } else if (state == CChartCtrl::RightDown) {
        window.KillTimer(CPlexaDlg::kChartTimer);
        const Spot s = Clamped(SpotFromChart());
        SetMarker(s.value, s.pwm);
        RunPointLinker();
        window.SetTimer(CPlexaDlg::kChartTimer, kAfterLinkerPeriod);
    } else if (state == CChartCtrl::DoubleClick && !linkerBusy) {
        window.SwitchMonitoringOff();
        window.Plot().ClearLiveMarker();
        CFanCurvePlot &plot = window.Plot();
        if (!undoPending) {
            lastClick = SpotFromChart();
            for (int i = 0; i < FanCurve::kPoints; ++i) {
                undoFan[i] = static_cast<std::int32_t>(plot.curve.curveFan[i]);
                undoX[i] = static_cast<std::int32_t>(plot.curve.curveX[i]);
            }
        }
        window.KillTimer(CPlexaDlg::kChartTimer);
        AddCurvePoint(SpotFromChart());
        if (undoPending) {
            lastClick = SpotFromChart();
            undoPending = false;
        }
        window.SetTimer(CPlexaDlg::kChartTimer, kAfterPointPeriod);
    }
    chart->GetMouseInfo(0);
}

void CMultipointEditor::RunPointLinker()
{
    const MyPointerLinker::Result result = window.ModalUi().RunPointLinker(&window);
    linkerBusy = true;
    CFanCurvePlot &plot = window.Plot();
    FanCurve &curve = plot.curve;
    switch (result) {
    case MyPointerLinker::Result::Cancel:
        break;
    case MyPointerLinker::Result::Ok:
        break;
    case MyPointerLinker::Result::Clear:
        undoPending = false;
        curve.Clear();
        plot.PublishCurve();
        window.Profile().points->setText(QStringLiteral("Points: 0"));
        break;
    case MyPointerLinker::Result::Undo: {
        undoPending = true;
        // The table keeps exactly the restored curve, so what is drawn is what a save or download sends.
        for (int i = 0; i < FanCurve::kPoints; ++i) {
            curve.curveX[i] = undoX[i];
            curve.curveFan[i] = undoFan[i];
        }
        const int i = static_cast<int>(std::lround(Clamped(lastClick).index));
        curve.pointFan[i] = 0;
        curve.pointDefined[i] = 0;
        plot.PublishCurve();
        ShowPointCount();
        break;
    }
    }
    linkerBusy = false;
}

void CMultipointEditor::OnBnClickedEnableMultipoint()
{
    window.ClearLiveIndication();
    CFanCurvePlot &plot = window.Plot();
    FanCurve &curve = plot.curve;
    const ProfileControls &fields = window.Profile();
    if (fields.enableMultipoint->isChecked()) {
        undoPending = false;
        plot.ClearShutOffLine();
        // The saved curve comes back exactly as it was left: drawn and stored alike.
        for (int i = 0; i < FanCurve::kPoints; ++i) {
            curve.curveX[i] = savedMultipointCurve.x[i];
            curve.curveFan[i] = savedMultipointCurve.fan[i];
            curve.pointFan[i] = savedMultipointCurve.pointFan[i];
            curve.pointDefined[i] = savedMultipointCurve.pointDefined[i];
        }
        plot.PublishCurve();
        ShowPointCount();
        SetMarker(0, 0);
        window.SwitchMonitoringOff();
        plot.SetBackground(CFanCurvePlot::multipointBackground);
        plot.shutOffLine->SetColor(QColor(255, 119, 53));
        plot.curveLine->SetColor(QColor(0, 0, 0));
        for (QWidget *field : window.BandFields())
            field->setEnabled(false);
        return;
    }

    plot.ClearCursorMarker();
    for (int i = 0; i < FanCurve::kPoints; ++i) {
        savedMultipointCurve.x[i] = static_cast<std::int32_t>(curve.curveX[i]);
        savedMultipointCurve.fan[i] = static_cast<std::int32_t>(curve.curveFan[i]);
        savedMultipointCurve.pointFan[i] = curve.pointFan[i];
        savedMultipointCurve.pointDefined[i] = curve.pointDefined[i];
    }
    window.SetReadouts(QString(), QString());
    const bool allUnset = fields.bottomBand->text() == QStringLiteral("N/A") &&
                          fields.fanSpeedTopBand->text() == QStringLiteral("N/A") &&
                          fields.fanSpeedBottomBand->text() == QStringLiteral("N/A") &&
                          fields.topBand->text() == QStringLiteral("N/A");
    if (allUnset) {
        window.ClearLiveIndication();
        window.SwitchMonitoringOff();
        window.LoadDefaultTemplate();
        return;
    }
    plot.ClearCursorMarker();
    plot.balloonText.clear();
    plot.RebuildBandCurve();
    for (QWidget *field : window.BandFields())
        field->setEnabled(true);
    window.SwitchMonitoringOff();
    fields.points->clear();
}

bool CMultipointEditor::HandleChartKey(int key)
{
    if (!window.Profile().enableMultipoint->isChecked())
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
    const CFanCurvePlot &plot = window.Plot();
    const QPoint pixel(plot.indexAxis->ValueToPixel(s.index), plot.pwmAxis->ValueToPixel(s.pwm));
    const bool add = key == Qt::Key_Return || key == Qt::Key_Enter;
    window.Chart()->RecordMouseEvent(add ? CChartCtrl::DoubleClick : CChartCtrl::Moved, pixel);
    return true;
}
