#include "ProfileEntry.h"

#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "PlexaDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString kNotUsed = QStringLiteral("N/A");

void Fill(QComboBox *box, std::initializer_list<const char *> items)
{
    box->clear();
    for (const char *item : items)
        box->addItem(QString::fromUtf8(item));
}
} // namespace

void CProfileEntry::FillOptionLists()
{
    Fill(controls.invertPwmOutput, {"Disabled", "Enabled"});
    Fill(controls.inputControlType, {"Temperature", "Voltage"});
    Fill(controls.tachoDependentAlarm, {"Enabled", "Disabled"});
    controls.tachoDependentAlarm->setEnabled(true);
    Fill(controls.outputControlType, {"Open Collector", "Voltage"});
    controls.topBand->setText(kNotUsed);
    controls.fanSpeedBottomBand->setText(kNotUsed);
    controls.bottomBand->setText(kNotUsed);
    Fill(controls.lowShutOff, {"N/A", "Always On"});
    Fill(controls.speedCap, {"N/A", "1000", "2000", "3000", "4000"});
    Fill(controls.highAlarm, {"N/A"});
    Fill(controls.lowAlarm, {"N/A"});
    controls.lowAlarm->setEditText(kNotUsed);
    controls.lowAlarm->setEnabled(true);
    Fill(controls.alarmActiveState, {"High", "Low"});
}

void CProfileEntry::SetFormLabels(Form form)
{
    const bool temperature = form == Form::Temperature;
    controls.topBandLabel->setText(temperature ? QStringLiteral("Temperature Top Band(°C)") : QStringLiteral("Voltage Top Band(V)"));
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

ControlProfile CProfileEntry::ReadProfile() const
{
    ControlProfile p;
    p.inputControlType = controls.inputControlType->currentText();
    p.outputControlType = controls.outputControlType->currentText();
    p.softwareNumber = controls.softwareNumber->text();
    p.versionNumber = controls.versionNumber->text();
    p.fanSpeedTopBand = controls.fanSpeedTopBand->text();
    p.topBand = controls.topBand->text();
    p.fanSpeedBottomBand = controls.fanSpeedBottomBand->text();
    p.bottomBand = controls.bottomBand->text();
    p.lowShutOff = controls.lowShutOff->currentText();
    p.speedCap = controls.speedCap->currentText();
    p.invertPwmOutput = controls.invertPwmOutput->currentText();
    p.tachoDependentAlarm = controls.tachoDependentAlarm->currentText();
    p.highAlarm = controls.highAlarm->currentText();
    p.lowAlarm = controls.lowAlarm->currentText();
    p.alarmActiveState = controls.alarmActiveState->currentText();
    p.multipoint = controls.enableMultipoint->isChecked();
    return p;
}

void CProfileEntry::ApplyDecoded(const DecodedProfile &d, bool fromUpload)
{
    FanCurve &curve = plot.curve;
    curve.curveFan.fill(0);
    curve.pointFan.fill(0);
    curve.pointDefined.fill(0);
    plot.PublishCurve();
    plot.ClearShutOffLine();

    const ControlProfile &f = d.fields;
    controls.softwareNumber->setText(f.softwareNumber);
    controls.versionNumber->setText(f.versionNumber);

    controls.inputControlType->setCurrentIndex(d.inputControlType);
    SetFormLabels(d.voltage ? Form::Voltage : Form::Temperature);

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
    for (QWidget *field : BandFields())
        field->setEnabled(!f.multipoint);
    if (fromUpload && d.setBandIndices) {
        for (int index : d.definedPoints)
            curve.pointDefined[index] = 1;
        curve.bottomBandIndex = d.bottomBandIndex;
        curve.topBandIndex = d.topBandIndex;
    }
    controls.speedCap->setCurrentIndex(d.speedCap);

    curve.curveFan = d.curveFan;
    plot.PublishCurve();
    plot.SetShutOffLine(d.shutOffStep);
    controls.points->clear();
}

std::vector<QWidget *> CProfileEntry::BandFields() const
{
    return {controls.fanSpeedTopBand, controls.topBand, controls.fanSpeedBottomBand, controls.bottomBand,
            controls.lowShutOff};
}

void CProfileEntry::LoadDefaultTemplate()
{
    for (QLineEdit *band : {controls.fanSpeedTopBand, controls.topBand, controls.fanSpeedBottomBand, controls.bottomBand})
        band->setEnabled(true);
    controls.lowShutOff->setCurrentIndex(0);
    controls.speedCap->setCurrentIndex(0);

    controls.fanSpeedTopBand->setText(QStringLiteral("90"));
    controls.topBand->setText(QStringLiteral("50"));
    controls.fanSpeedBottomBand->setText(QStringLiteral("30"));
    controls.bottomBand->setText(QStringLiteral("25"));
    controls.lowShutOff->setEditText(QStringLiteral("10"));
    controls.softwareNumber->setText(QStringLiteral("00001"));
    controls.versionNumber->setText(QStringLiteral("1"));

    SetFormLabels(Form::Temperature);
    controls.inputControlType->setCurrentIndex(0);    // Temperature
    controls.tachoDependentAlarm->setCurrentIndex(0); // Enabled
    controls.outputControlType->setCurrentIndex(0);   // Open Collector

    plot.curve.LoadDefault();
    plot.PublishCurve();

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

    // From the 10 degC shut-off up to the 25 degC bottom band.
    const double shutOff = CurveIndexOfTemperature(10);
    const double bottom = CurveIndexOfTemperature(25);
    plot.SetShutOffLine({{shutOff, 0}, {shutOff, 30}, {bottom, 30}});
}

void CProfileEntry::ApplyForm(Form form)
{
    const bool temperature = form == Form::Temperature;
    controls.inputControlType->setCurrentIndex(temperature ? 0 : 1);
    for (QLineEdit *band : {controls.fanSpeedTopBand, controls.topBand, controls.fanSpeedBottomBand, controls.bottomBand})
        band->clear();
    controls.alarmActiveState->setCurrentIndex(0);    // High
    controls.tachoDependentAlarm->setCurrentIndex(1); // Disabled
    controls.lowShutOff->setEditText(temperature ? kNotUsed : QString());
    controls.speedCap->setCurrentIndex(0);
    controls.invertPwmOutput->setCurrentIndex(0);
    controls.highAlarm->setEditText(kNotUsed);
    controls.lowAlarm->setEditText(kNotUsed);
    SetFormLabels(form);
    plot.ClearShutOffLine();
}

void CProfileEntry::ApplyTemperatureLabels()
{
    ApplyForm(Form::Temperature);
}

void CProfileEntry::ApplyVoltageLabels()
{
    ApplyForm(Form::Voltage);
}

void CProfileEntry::Warn(const QString &caption, const QString &text)
{
    window.ModalUi().MessageBox(&window, text, caption, MsgIcon::Warning, MsgButtons::Ok);
}

bool CProfileEntry::VoltageForm() const
{
    return controls.inputControlType->currentText() == QStringLiteral("Voltage");
}

QString CProfileEntry::FormName() const
{
    // The messages name the temperature form only when the list says so.
    return controls.inputControlType->currentText() == QStringLiteral("Temperature") ? QStringLiteral("Temperature")
                                                                                      : QStringLiteral("Voltage");
}

int CProfileEntry::ParseBandField(int limit, QLineEdit *field)
{
    const BandNumber parsed = ParseBandNumber(limit, field->text());
    if (parsed.fieldText)
        field->setText(*parsed.fieldText);
    return parsed.value;
}

int CProfileEntry::ParseBandField(int limit, QComboBox *field)
{
    const BandNumber parsed = ParseBandNumber(limit, field->currentText());
    if (parsed.fieldText)
        field->setEditText(*parsed.fieldText);
    return parsed.value;
}

void CProfileEntry::DefineEndsIfNothingDefined()
{
    FanCurve &curve = plot.curve;
    if (curve.DefinedPointCount() != 0)
        return;
    for (int end : {0, FanCurve::kPoints - 1}) {
        curve.pointFan[end] = 0;
        curve.pointDefined[end] = 1;
    }
}

void CProfileEntry::OnEnChangeSoftwareNumber()
{
    window.ClearLiveIndication();
    if (ReadNumber(controls.softwareNumber->text()) > 99999)
        controls.softwareNumber->setText(QStringLiteral("99999"));
}

void CProfileEntry::OnEnKillfocusSoftwareNumber()
{
    const int n = ReadNumber(controls.softwareNumber->text());
    controls.softwareNumber->setText(n > 0 ? QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')) : QStringLiteral("00000"));
}

void CProfileEntry::OnEnChangeVersionNumber()
{
    window.ClearLiveIndication();
    if (ReadNumber(controls.versionNumber->text()) > 255)
        controls.versionNumber->setText(QStringLiteral("255"));
}

void CProfileEntry::OnEnKillfocusTopBand()
{
    window.ClearLiveIndication();
    const int limit = VoltageForm() ? 10 : 63;
    const int v = ParseBandField(limit, controls.topBand);
    if (v == NotSetValue) {
        Warn(QStringLiteral("Invalid parameter!"), QStringLiteral("Value not withing range"));
        controls.topBand->setText(window.savedTopBandText);
        return;
    }
    if (controls.bottomBand->text() == QStringLiteral("N/A"))
        DefineEndsIfNothingDefined();
    if (v == 0) {
        Warn(QStringLiteral("Warning"), QStringLiteral("Temperature Top Band value must be greater than 0"));
        controls.topBand->setText(window.savedTopBandText);
        return;
    }
    if (v <= ReadNumber(controls.bottomBand->text())) {
        Warn(QStringLiteral("Warning"), QStringLiteral("Please choose a value greater than %1 Bottom Band").arg(FormName()));
        controls.topBand->setText(window.savedTopBandText);
        return;
    }
    plot.PlaceTopBand();
    window.savedTopBandText = controls.topBand->text();
}

void CProfileEntry::OnEnKillfocusBottomBand()
{
    window.ClearLiveIndication();
    plot.ClearShutOffLine();
    if (controls.topBand->text() == QStringLiteral("N/A")) {
        controls.bottomBand->clear();
        return;
    }
    const int top = ReadNumber(controls.topBand->text());
    if (ReadNumber(controls.bottomBand->text()) >= top) {
        Warn(QStringLiteral("Warning"), QStringLiteral("Please choose a value smaller than %1 Top Band").arg(FormName()));
        controls.bottomBand->setText(window.savedBottomBandText);
        plot.DrawShutOffLine();
        return;
    }
    const int v = ParseBandField(top - 1, controls.bottomBand);
    if (v == NotSetValue) {
        Warn(QStringLiteral("Invalid parameter!"), QStringLiteral("Value not withing range"));
        controls.bottomBand->setText(window.savedBottomBandText);
        return;
    }
    DefineEndsIfNothingDefined();
    plot.curve.curveFan[0] = 0;
    const QString shutOff = controls.lowShutOff->currentText();
    if (v == 0 && shutOff != QStringLiteral("Always On") && shutOff != QStringLiteral("N/A")) {
        controls.bottomBand->clear();
        Warn(QStringLiteral("WARNING"),
             QStringLiteral("For Temperature Bottom Band value to be 0, %1 value must be 'Always On' or 'N/A'")
                 .arg(VoltageForm() ? QStringLiteral("Voltage Shut Off")
                          : QStringLiteral("Low Temperature Shut Off")));
        controls.bottomBand->setText(window.savedBottomBandText);
        plot.DrawShutOffLine();
        return;
    }
    const QString fan = controls.fanSpeedBottomBand->text();
    if (fan == QStringLiteral("N/A") || fan.isEmpty())
        return; // no fan speed yet: nothing to place, the last accepted text stays
    plot.PlaceBottomBand();
    window.savedBottomBandText = controls.bottomBand->text();
}

void CProfileEntry::OnEnChangeBottomBand()
{
    window.SwitchMonitoringOff();
}

void CProfileEntry::OnEnChangeFanSpeedTopBand()
{
    window.ClearLiveIndication();
    window.SwitchMonitoringOff();
    if (ParseBandField(100, controls.fanSpeedTopBand) == NotSetValue)
        return;
    if (controls.topBand->text() == QStringLiteral("N/A"))
        return;
    plot.PlaceTopBand(false);
}

void CProfileEntry::OnEnChangeFanSpeedBottomBand()
{
    window.ClearLiveIndication();
    window.SwitchMonitoringOff();
    plot.ClearShutOffLine();
    if (ParseBandField(100, controls.fanSpeedBottomBand) == NotSetValue)
        return;
    if (controls.bottomBand->text() == QStringLiteral("N/A"))
        return;
    plot.PlaceBottomBand(false);
}

void CProfileEntry::OnCbnSelchangeLowShutOff()
{
    window.ClearLiveIndication();
    window.SwitchMonitoringOff();
}

void CProfileEntry::OnCbnEditchangeHighAlarm()
{
    window.ClearLiveIndication();
    const int limit = VoltageForm() ? 10 : 115;
    if (ParseBandField(limit, controls.highAlarm) == 0)
        controls.highAlarm->setEditText(QStringLiteral("1"));
}

void CProfileEntry::OnCbnEditchangeLowAlarm()
{
    window.ClearLiveIndication();
    const int n = ReadNumber(controls.lowAlarm->currentText());
    if (n <= -35)
        controls.lowAlarm->setEditText(QStringLiteral("-35"));
    if (n >= 55)
        controls.lowAlarm->setEditText(QStringLiteral("55"));
}

void CProfileEntry::OnCbnSelchangeInputType()
{
    window.ClearLiveIndication();
    plot.ClearShutOffLine();
    if (controls.inputControlType->currentIndex() < 0)
        return;
    const QString type = controls.inputControlType->currentText();
    if (type == QStringLiteral("Temperature")) {
        window.SwitchMonitoringOff();
        ApplyTemperatureLabels();
    } else if (type == QStringLiteral("Voltage")) {
        if (controls.enableMultipoint->isChecked())
            window.SetReadouts(QString::asprintf("Voltage: %0.2f", window.liveValue), std::nullopt);
        window.SwitchMonitoringOff(false);
        ApplyTemperatureLabels();
        ApplyVoltageLabels();
    }
    controls.points->setText(controls.enableMultipoint->isChecked() ? QStringLiteral("Points: 0") : QString());
}

void CProfileEntry::OnCbnSelchangeTachoAlarm()
{
    window.ClearLiveIndication();
    if (controls.tachoDependentAlarm->currentIndex() < 0)
        return;
    if (controls.tachoDependentAlarm->currentText() == QStringLiteral("Disabled")) {
        controls.speedCap->setCurrentIndex(0); // "N/A"
        controls.speedCap->setEnabled(false);
    } else {
        controls.alarmActiveState->setCurrentIndex(1); // "Low"
        controls.alarmActiveState->setEnabled(true);
        controls.speedCap->setCurrentIndex(-1);
        controls.speedCap->setEnabled(true);
    }
}
