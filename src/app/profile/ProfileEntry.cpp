// The profile's fields: template, forms, entry checks, and the image in and out.
#include "ProfileEntry.h"

#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileControls.h"
#include "WindowViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
void Fill(QComboBox *box, const QStringList &items)
{
    box->clear();
    box->addItems(items);
}
} // namespace

CProfileEntry::CProfileEntry(IProfileView &view, WindowDialogs &dialogs, ProfileControls &controls, CFanCurvePlot &plot)
    : view(view), dialogs(dialogs), controls(controls), plot(plot)
{
}

void CProfileEntry::FillOptionLists()
{
    Fill(controls.invertPwmOutput, OptionLists::invertPwmOutput);
    Fill(controls.inputControlType, OptionLists::inputControlType);
    Fill(controls.tachoDependentAlarm, OptionLists::tachoDependentAlarm);
    controls.tachoDependentAlarm->setEnabled(true);
    Fill(controls.outputControlType, OptionLists::outputControlType);
    controls.topBand->setText(kNotUsed);
    controls.fanSpeedBottomBand->setText(kNotUsed);
    controls.bottomBand->setText(kNotUsed);
    Fill(controls.lowShutOff, OptionLists::lowShutOff);
    Fill(controls.speedCap, OptionLists::speedCap);
    Fill(controls.highAlarm, OptionLists::highAlarm);
    Fill(controls.lowAlarm, OptionLists::lowAlarm);
    controls.lowAlarm->setEditText(kNotUsed);
    controls.lowAlarm->setEnabled(true);
    Fill(controls.alarmActiveState, OptionLists::alarmActiveState);
}

void CProfileEntry::RememberAcceptedBands()
{
    savedTopBandText = controls.topBand->text();
    savedBottomBandText = controls.bottomBand->text();
}

void CProfileEntry::Correct(QLineEdit *field, const std::optional<QString> &text)
{
    if (text)
        field->setText(*text);
}

void CProfileEntry::Correct(QComboBox *field, const std::optional<QString> &text)
{
    if (text)
        field->setEditText(*text);
}

void CProfileEntry::SetFormLabels(InputKind kind)
{
    const bool temperature = kind == InputKind::Temperature;
    controls.topBandLabel->setText(temperature ? QStringLiteral("Temperature Top Band(°C)")
                                               : QStringLiteral("Voltage Top Band(V)"));
    controls.bottomBandLabel->setText(temperature ? QStringLiteral("Temperature Bottom Band(°C)")
                                                  : QStringLiteral("Voltage Bottom Band(V)"));
    controls.lowShutOffLabel->setText(temperature ? QStringLiteral("Low Temperature Shut Off(°C)")
                                                  : QStringLiteral("Low Voltage Shut Off(V)"));
    controls.highAlarmLabel->setText(temperature ? QStringLiteral("High Temperature Alarm(°C)")
                                                 : QStringLiteral("High Voltage Alarm(V)"));
    controls.lowAlarmLabel->setText(temperature ? QStringLiteral("Low Temperature Alarm(°C)")
                                                : QStringLiteral("Low Voltage Alarm(V)"));
    plot.SetValueAxis(temperature ? CFanCurvePlot::kTemperatureAxisMax : CFanCurvePlot::kVoltageAxisMax,
                      temperature ? QStringLiteral("Temperature(°C)") : QStringLiteral("Voltage(V)"));
    plot.SetPwmAxisTitle(QStringLiteral("PWM(%)"));
}

ProfileImage CProfileEntry::BuildImage() const
{
    return ::BuildProfileImage(controls.Read(), plot.Curve().curveFan, temperatureCodes);
}

void CProfileEntry::ShowImage(const std::uint8_t *image, bool fromUpload)
{
    const auto repaint = plot.OneRepaint();
    ApplyDecoded(::DecodeProfileImage(image, fromUpload, temperatureCodes), fromUpload);
    if (!fromUpload)
        view.SetStatusText(QStringLiteral("Successfully Opened File from PC"));
}

void CProfileEntry::ApplyDecoded(const DecodedProfile &d, bool fromUpload)
{
    plot.ChangeCurve([](FanCurve &curve) {
        curve.curveFan.fill(0);
        curve.pointFan.fill(0);
        curve.pointDefined.fill(0);
    });
    plot.ClearShutOffLine();

    const ControlProfile &f = d.fields;
    controls.softwareNumber->setText(f.softwareNumber);
    controls.versionNumber->setText(f.versionNumber);

    controls.inputControlType->setCurrentIndex(d.inputControlType);
    SetFormLabels(d.voltage ? InputKind::Voltage : InputKind::Temperature);

    controls.highAlarm->setEditText(f.highAlarm);
    if (d.highAlarmEnabled)
        controls.highAlarm->setEnabled(true);
    controls.lowAlarm->setEditText(f.lowAlarm);
    if (d.lowAlarmEnabled)
        controls.lowAlarm->setEnabled(true);
    controls.bottomBand->setText(f.bottomBand);
    controls.topBand->setText(f.topBand);
    controls.lowShutOff->setEditText(f.lowShutOff);
    controls.fanSpeedBottomBand->setText(f.fanSpeedBottomBand);
    controls.fanSpeedTopBand->setText(f.fanSpeedTopBand);

    controls.outputControlType->setCurrentIndex(d.outputControlType);
    controls.tachoDependentAlarm->setCurrentIndex(d.tachoDependentAlarm);
    controls.alarmActiveState->setCurrentIndex(d.alarmActiveState);
    controls.invertPwmOutput->setCurrentIndex(d.invertPwmOutput);

    controls.enableMultipoint->setChecked(f.multipoint);
    plot.SetBackground(f.multipoint ? CFanCurvePlot::multipointBackground : CFanCurvePlot::bandModeBackground);
    for (QWidget *field : controls.BandFields())
        field->setEnabled(!f.multipoint);
    controls.speedCap->setCurrentIndex(d.speedCap);

    plot.ChangeCurve([&](FanCurve &curve) {
        if (fromUpload && d.setBandIndices) {
            for (int index : d.definedPoints)
                curve.pointDefined[index] = 1;
            curve.bottomBandIndex = d.bottomBandIndex;
            curve.topBandIndex = d.topBandIndex;
        }
        curve.curveFan = d.curveFan;
    });
    plot.SetShutOffLine(d.shutOffStep);
    controls.points->clear();
    // A refused band entry must fall back to this profile's band, not the one shown before it.
    RememberAcceptedBands();
}

void CProfileEntry::LoadDefaultTemplate()
{
    const ControlProfile defaults;
    for (QLineEdit *band :
         {controls.fanSpeedTopBand, controls.topBand, controls.fanSpeedBottomBand, controls.bottomBand})
        band->setEnabled(true);
    controls.lowShutOff->setCurrentIndex(0);
    controls.speedCap->setCurrentIndex(0);

    controls.fanSpeedTopBand->setText(defaults.fanSpeedTopBand);
    controls.topBand->setText(defaults.topBand);
    controls.fanSpeedBottomBand->setText(defaults.fanSpeedBottomBand);
    controls.bottomBand->setText(defaults.bottomBand);
    controls.lowShutOff->setEditText(defaults.lowShutOff);
    controls.softwareNumber->setText(defaults.softwareNumber);
    controls.versionNumber->setText(defaults.versionNumber);

    SetFormLabels(InputKind::Temperature);
    controls.inputControlType->setCurrentIndex(0);    // Temperature
    controls.tachoDependentAlarm->setCurrentIndex(0); // Enabled
    controls.outputControlType->setCurrentIndex(0);   // Open Collector

    plot.ChangeCurve([](FanCurve &curve) { curve.LoadDefault(); });

    controls.points->clear();
    controls.enableMultipoint->setChecked(false);

    plot.SetBackground(CFanCurvePlot::bandModeBackground);

    controls.highAlarm->setEditText(controls.topBand->text());
    controls.highAlarm->setEnabled(true);
    controls.lowAlarm->setEditText(kNotUsed);

    controls.alarmActiveState->setCurrentIndex(1); // Low
    controls.alarmActiveState->setEnabled(true);
    controls.lowShutOff->setEnabled(true);
    controls.speedCap->setCurrentIndex(0);
    controls.speedCap->setEnabled(true);
    controls.invertPwmOutput->setCurrentIndex(0); // Disabled

    // From the shut-off up to the bottom band, at the bottom fan speed.
    const double shutOff = CurveIndexOfTemperature(ReadNumber(defaults.lowShutOff));
    const double bottom = CurveIndexOfTemperature(ReadNumber(defaults.bottomBand));
    const double fan = ReadNumber(defaults.fanSpeedBottomBand);
    plot.SetShutOffLine({{shutOff, 0}, {shutOff, fan}, {bottom, fan}});
    RememberAcceptedBands();
}

void CProfileEntry::ApplyForm(InputKind kind)
{
    const bool temperature = kind == InputKind::Temperature;
    controls.inputControlType->setCurrentIndex(temperature ? 0 : 1);
    for (QLineEdit *band :
         {controls.fanSpeedTopBand, controls.topBand, controls.fanSpeedBottomBand, controls.bottomBand})
        band->clear();
    controls.alarmActiveState->setCurrentIndex(0);    // High
    controls.tachoDependentAlarm->setCurrentIndex(1); // Disabled
    controls.lowShutOff->setEditText(temperature ? kNotUsed : QString());
    controls.speedCap->setCurrentIndex(0);
    controls.invertPwmOutput->setCurrentIndex(0);
    controls.highAlarm->setEditText(kNotUsed);
    controls.lowAlarm->setEditText(kNotUsed);
    SetFormLabels(kind);
    plot.ClearShutOffLine();
}

void CProfileEntry::ApplyTemperatureLabels()
{
    ApplyForm(InputKind::Temperature);
}

void CProfileEntry::ApplyVoltageLabels()
{
    ApplyForm(InputKind::Voltage);
}

int CProfileEntry::ParseBandField(int limit, QLineEdit *field)
{
    const BandNumber parsed = ParseBandNumber(limit, field->text());
    Correct(field, parsed.fieldText);
    return parsed.value;
}

void CProfileEntry::OnEnChangeSoftwareNumber()
{
    view.ClearLiveIndication();
    Correct(controls.softwareNumber, SoftwareNumberTyped(controls.softwareNumber->text()));
}

void CProfileEntry::OnEnKillfocusSoftwareNumber()
{
    controls.softwareNumber->setText(SoftwareNumberLeft(controls.softwareNumber->text()));
}

void CProfileEntry::OnEnChangeVersionNumber()
{
    view.ClearLiveIndication();
    Correct(controls.versionNumber, VersionNumberTyped(controls.versionNumber->text()));
}

void CProfileEntry::OnEnKillfocusTopBand()
{
    view.ClearLiveIndication();
    const TopBandCheck check = CheckTopBand(controls.topBand->text(), controls.bottomBand->text(), controls.Kind());
    Correct(controls.topBand, check.fieldText);
    if (check.defineCurveEnds)
        plot.ChangeCurve([](FanCurve &curve) { curve.DefineEndsIfNothingDefined(); });
    if (check.refusal) {
        dialogs.Warn(*check.refusal);
        controls.topBand->setText(savedTopBandText);
        return;
    }
    plot.PlaceTopBand();
    savedTopBandText = controls.topBand->text();
}

void CProfileEntry::OnEnKillfocusBottomBand()
{
    view.ClearLiveIndication();
    plot.ClearShutOffLine();
    const BottomBandCheck check = CheckBottomBand(controls.bottomBand->text(), controls.topBand->text(),
                                                  controls.lowShutOff->currentText(), controls.Kind());
    Correct(controls.bottomBand, check.fieldText);
    if (check.prepareCurve) {
        plot.ChangeCurve([](FanCurve &curve) {
            curve.DefineEndsIfNothingDefined();
            curve.curveFan[0] = 0;
        });
    }
    if (check.refusal) {
        dialogs.Warn(*check.refusal);
        controls.bottomBand->setText(savedBottomBandText);
        if (check.redrawShutOff)
            plot.DrawShutOffLine();
        return;
    }
    if (check.outcome != BottomBandCheck::Accepted)
        return;
    const QString fan = controls.fanSpeedBottomBand->text();
    if (fan == kNotUsed || fan.isEmpty())
        return; // no fan speed yet: nothing to place, the last accepted text stays
    plot.PlaceBottomBand();
    savedBottomBandText = controls.bottomBand->text();
}

void CProfileEntry::OnEnChangeBottomBand()
{
    view.SwitchMonitoringOff();
}

void CProfileEntry::OnEnChangeFanSpeedTopBand()
{
    view.ClearLiveIndication();
    view.SwitchMonitoringOff();
    if (ParseBandField(kFanSpeedLimit, controls.fanSpeedTopBand) == NotSetValue)
        return;
    if (controls.topBand->text() == kNotUsed)
        return;
    plot.PlaceTopBand(false);
}

void CProfileEntry::OnEnChangeFanSpeedBottomBand()
{
    view.ClearLiveIndication();
    view.SwitchMonitoringOff();
    plot.ClearShutOffLine();
    if (ParseBandField(kFanSpeedLimit, controls.fanSpeedBottomBand) == NotSetValue)
        return;
    if (controls.bottomBand->text() == kNotUsed)
        return;
    plot.PlaceBottomBand(false);
}

void CProfileEntry::OnCbnSelchangeLowShutOff()
{
    view.ClearLiveIndication();
    view.SwitchMonitoringOff();
}

void CProfileEntry::OnCbnEditchangeHighAlarm()
{
    view.ClearLiveIndication();
    Correct(controls.highAlarm, HighAlarmTyped(controls.highAlarm->currentText(), controls.Kind()));
}

void CProfileEntry::OnCbnEditchangeLowAlarm()
{
    view.ClearLiveIndication();
    Correct(controls.lowAlarm, LowAlarmTyped(controls.lowAlarm->currentText()));
}

void CProfileEntry::OnCbnSelchangeInputType()
{
    view.ClearLiveIndication();
    plot.ClearShutOffLine();
    if (controls.inputControlType->currentIndex() < 0)
        return;
    if (controls.Kind() == InputKind::Temperature) {
        view.SwitchMonitoringOff();
        ApplyTemperatureLabels();
    } else {
        if (controls.Multipoint())
            view.SetReadouts(QString::asprintf("Voltage: %0.2f", view.LiveValue()), std::nullopt);
        view.SwitchMonitoringOff(false);
        ApplyTemperatureLabels();
        ApplyVoltageLabels();
    }
    controls.points->setText(controls.Multipoint() ? QStringLiteral("Points: 0") : QString());
}

void CProfileEntry::OnCbnSelchangeTachoAlarm()
{
    view.ClearLiveIndication();
    if (controls.tachoDependentAlarm->currentIndex() < 0)
        return;
    if (controls.tachoDependentAlarm->currentText() == OptionLists::tachoDependentAlarm[1]) { // Disabled
        controls.speedCap->setCurrentIndex(0);                                                // "N/A"
        controls.speedCap->setEnabled(false);
    } else {
        controls.alarmActiveState->setCurrentIndex(1); // "Low"
        controls.alarmActiveState->setEnabled(true);
        controls.speedCap->setCurrentIndex(-1);
        controls.speedCap->setEnabled(true);
    }
}
