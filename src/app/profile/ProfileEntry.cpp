// The profile's entry handlers, the template, the two forms and the band steps, on the document.
#include "ProfileEntry.h"

#include "EntryRules.h"
#include "FanCurvePlot.h"
#include "ModalUi.h"
#include "ProfileForm.h"
#include "WindowViews.h"

CProfileEntry::CProfileEntry(ProfileDocument &document, CProfileForm &form, IProfileView &view, WindowDialogs &dialogs,
                             CFanCurvePlot &plot)
    : document(document), form(form), view(view), dialogs(dialogs), plot(plot)
{
}

void CProfileEntry::Typed(ProfileField field)
{
    switch (field) {
    case ProfileField::SoftwareNumber: OnEnChangeSoftwareNumber(); break;
    case ProfileField::VersionNumber: OnEnChangeVersionNumber(); break;
    case ProfileField::BottomBand: OnEnChangeBottomBand(); break;
    case ProfileField::FanSpeedTopBand: OnEnChangeFanSpeedTopBand(); break;
    case ProfileField::FanSpeedBottomBand: OnEnChangeFanSpeedBottomBand(); break;
    case ProfileField::HighAlarm: OnCbnEditchangeHighAlarm(); break;
    case ProfileField::LowAlarm: OnCbnEditchangeLowAlarm(); break;
    default: break; // the top band and the shut-off are checked when they are left
    }
}

void CProfileEntry::Chosen(ProfileField field)
{
    switch (field) {
    case ProfileField::LowShutOff: OnCbnSelchangeLowShutOff(); break;
    case ProfileField::InputControlType: OnCbnSelchangeInputType(); break;
    case ProfileField::TachoDependentAlarm: OnCbnSelchangeTachoAlarm(); break;
    default: view.ClearLiveIndication(); break; // the plain options
    }
}

void CProfileEntry::Left(ProfileField field)
{
    switch (field) {
    case ProfileField::SoftwareNumber: OnEnKillfocusSoftwareNumber(); break;
    case ProfileField::TopBand: OnEnKillfocusTopBand(); break;
    case ProfileField::BottomBand: OnEnKillfocusBottomBand(); break;
    case ProfileField::LowShutOff: DrawShutOffLine(); break;
    default: break;
    }
}

void CProfileEntry::RememberAcceptedBands()
{
    savedTopBandText = Text(ProfileField::TopBand);
    savedBottomBandText = Text(ProfileField::BottomBand);
}

void CProfileEntry::Correct(ProfileField field, const std::optional<QString> &text)
{
    if (text)
        document.SetText(field, *text);
}

int CProfileEntry::ParseBandField(int limit, ProfileField field)
{
    const BandNumber parsed = ParseBandNumber(limit, Text(field));
    Correct(field, parsed.fieldText);
    return parsed.value;
}

void CProfileEntry::PlaceTopBand(bool bandMoved)
{
    form.TakeShownTexts();
    if (!bandMoved && Text(ProfileField::TopBand) == kNotUsed)
        return;
    const auto repaint = plot.OneRepaint(); // the curve and the step together
    document.PlaceTopBand(bandMoved);
    form.SetPointsText(QString());
    DrawShutOffLine();
}

void CProfileEntry::PlaceBottomBand(bool bandMoved)
{
    form.TakeShownTexts();
    if (!bandMoved && Text(ProfileField::BottomBand) == kNotUsed)
        return;
    const auto repaint = plot.OneRepaint();
    document.PlaceBottomBand(bandMoved);
    const QString &fan = Text(ProfileField::FanSpeedBottomBand);
    if (fan == kNotUsed || fan.isEmpty())
        return; // no fan speed: no bottom point to place
    form.SetPointsText(QString());
    DrawShutOffLine();
}

void CProfileEntry::DrawShutOffLine()
{
    form.TakeShownTexts();
    const auto repaint = plot.OneRepaint();
    view.ClearLiveIndication();
    plot.ClearShutOffLine();
    const QString bottom = Text(ProfileField::BottomBand);
    const QString fan = Text(ProfileField::FanSpeedBottomBand);
    const ShutOffCheck check = CheckShutOff(Text(ProfileField::LowShutOff), bottom, fan);
    Correct(ProfileField::LowShutOff, check.fieldText);
    if (!check.value)
        return;
    const int f = ReadNumber(fan);
    const ShutOffEntries entries = ShutOffStepEntries(document.Kind(), *check.value, ReadNumber(bottom));
    plot.SetShutOffLine(
        {{double(entries.shutOff), 0}, {double(entries.shutOff), double(f)}, {double(entries.bottom), double(f)}});
}

void CProfileEntry::RebuildBandCurve()
{
    form.TakeShownTexts();
    const auto repaint = plot.OneRepaint();
    plot.ClearCursorMarker();
    plot.ClearShutOffLine();
    document.RebuildBandCurve();
    form.SetPointsText(QString());
    DrawShutOffLine();
    plot.ShowMode();
}

void CProfileEntry::LoadDefaultTemplate()
{
    const auto repaint = plot.OneRepaint();
    form.SetBandFieldsEnabled(true);
    document.LoadDefaultTemplate();
    plot.ShowForm();
    plot.ShowMode();
    form.SetPointsText(QString());
    for (ProfileField field :
         {ProfileField::HighAlarm, ProfileField::AlarmActiveState, ProfileField::LowShutOff, ProfileField::SpeedCap})
        form.SetFieldEnabled(field, true);

    // From the shut-off up to the bottom band, at the bottom fan speed.
    const ControlProfile defaults;
    const double shutOff = CurveIndexOfTemperature(ReadNumber(defaults.lowShutOff));
    const double bottom = CurveIndexOfTemperature(ReadNumber(defaults.bottomBand));
    const double fan = ReadNumber(defaults.fanSpeedBottomBand);
    plot.SetShutOffLine({{shutOff, 0}, {shutOff, fan}, {bottom, fan}});
    RememberAcceptedBands();
}

void CProfileEntry::ApplyTemperatureLabels()
{
    document.ApplyForm(InputKind::Temperature);
    plot.ShowForm();
    plot.ClearShutOffLine();
}

void CProfileEntry::ApplyVoltageLabels()
{
    document.ApplyForm(InputKind::Voltage);
    plot.ShowForm();
    plot.ClearShutOffLine();
}

void CProfileEntry::ShowImage(const std::uint8_t *image, bool fromUpload)
{
    const auto repaint = plot.OneRepaint();
    plot.ClearShutOffLine();
    const DecodedProfile decoded = document.ApplyImage(image, fromUpload);
    plot.ShowForm();
    plot.ShowMode();
    if (decoded.highAlarmEnabled)
        form.SetFieldEnabled(ProfileField::HighAlarm, true);
    if (decoded.lowAlarmEnabled)
        form.SetFieldEnabled(ProfileField::LowAlarm, true);
    form.SetBandFieldsEnabled(!decoded.fields.multipoint);
    plot.SetShutOffLine(decoded.shutOffStep);
    form.SetPointsText(QString());
    // A refused band entry must fall back to this profile's band, not the one shown before it.
    RememberAcceptedBands();
    if (!fromUpload)
        view.SetStatusText(QStringLiteral("Successfully Opened File from PC"));
}

void CProfileEntry::ShowReplaced()
{
    const auto repaint = plot.OneRepaint();
    const bool multipoint = document.Multipoint();
    form.SetBandFieldsEnabled(!multipoint);
    form.SetFieldEnabled(ProfileField::SpeedCap,
                         Text(ProfileField::TachoDependentAlarm) == OptionLists::tachoDependentAlarm[0]);
    plot.ClearShutOffLine();
    plot.ClearCursorMarker();
    if (!multipoint) {
        const QString &bottom = Text(ProfileField::BottomBand);
        const QString &fan = Text(ProfileField::FanSpeedBottomBand);
        const ShutOffCheck check = CheckShutOff(Text(ProfileField::LowShutOff), bottom, fan);
        if (check.value && !check.fieldText) {
            const ShutOffEntries e = ShutOffStepEntries(document.Kind(), *check.value, ReadNumber(bottom));
            const double f = ReadNumber(fan);
            plot.SetShutOffLine({{double(e.shutOff), 0}, {double(e.shutOff), f}, {double(e.bottom), f}});
        }
    }
    form.SetPointsText(multipoint ? QStringLiteral("Points: %1").arg(document.Curve().DefinedPointCount()) : QString());
    RememberAcceptedBands();
}

void CProfileEntry::OnEnChangeSoftwareNumber()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    Correct(ProfileField::SoftwareNumber, SoftwareNumberTyped(Text(ProfileField::SoftwareNumber)));
}

void CProfileEntry::OnEnKillfocusSoftwareNumber()
{
    form.TakeShownTexts();
    document.SetText(ProfileField::SoftwareNumber, SoftwareNumberLeft(Text(ProfileField::SoftwareNumber)));
}

void CProfileEntry::OnEnChangeVersionNumber()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    Correct(ProfileField::VersionNumber, VersionNumberTyped(Text(ProfileField::VersionNumber)));
}

void CProfileEntry::OnEnKillfocusTopBand()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    const TopBandCheck check =
        CheckTopBand(Text(ProfileField::TopBand), Text(ProfileField::BottomBand), document.Kind());
    Correct(ProfileField::TopBand, check.fieldText);
    if (check.defineCurveEnds)
        document.ChangeCurve([](FanCurve &curve) { curve.DefineEndsIfNothingDefined(); });
    if (check.refusal) {
        dialogs.Warn(*check.refusal);
        document.SetText(ProfileField::TopBand, savedTopBandText);
        return;
    }
    PlaceTopBand();
    savedTopBandText = Text(ProfileField::TopBand);
}

void CProfileEntry::OnEnKillfocusBottomBand()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    plot.ClearShutOffLine();
    const BottomBandCheck check = CheckBottomBand(Text(ProfileField::BottomBand), Text(ProfileField::TopBand),
                                                  Text(ProfileField::LowShutOff), document.Kind());
    Correct(ProfileField::BottomBand, check.fieldText);
    if (check.prepareCurve) {
        document.ChangeCurve([](FanCurve &curve) {
            curve.DefineEndsIfNothingDefined();
            curve.curveFan[0] = 0;
        });
    }
    if (check.refusal) {
        dialogs.Warn(*check.refusal);
        document.SetText(ProfileField::BottomBand, savedBottomBandText);
        if (check.redrawShutOff)
            DrawShutOffLine();
        return;
    }
    if (check.outcome != BottomBandCheck::Accepted)
        return;
    const QString &fan = Text(ProfileField::FanSpeedBottomBand);
    if (fan == kNotUsed || fan.isEmpty())
        return; // no fan speed yet: nothing to place, the last accepted text stays
    PlaceBottomBand();
    savedBottomBandText = Text(ProfileField::BottomBand);
}

void CProfileEntry::OnEnChangeBottomBand()
{
    form.TakeShownTexts();
    view.SwitchMonitoringOff();
}

void CProfileEntry::OnEnChangeFanSpeedTopBand()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    view.SwitchMonitoringOff();
    if (ParseBandField(kFanSpeedLimit, ProfileField::FanSpeedTopBand) == NotSetValue)
        return;
    if (Text(ProfileField::TopBand) == kNotUsed)
        return;
    PlaceTopBand(false);
}

void CProfileEntry::OnEnChangeFanSpeedBottomBand()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    view.SwitchMonitoringOff();
    plot.ClearShutOffLine();
    if (ParseBandField(kFanSpeedLimit, ProfileField::FanSpeedBottomBand) == NotSetValue)
        return;
    if (Text(ProfileField::BottomBand) == kNotUsed)
        return;
    PlaceBottomBand(false);
}

void CProfileEntry::OnCbnSelchangeLowShutOff()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    view.SwitchMonitoringOff();
}

void CProfileEntry::OnCbnEditchangeHighAlarm()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    Correct(ProfileField::HighAlarm, HighAlarmTyped(Text(ProfileField::HighAlarm), document.Kind()));
}

void CProfileEntry::OnCbnEditchangeLowAlarm()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    Correct(ProfileField::LowAlarm, LowAlarmTyped(Text(ProfileField::LowAlarm)));
}

void CProfileEntry::OnCbnSelchangeInputType()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    plot.ClearShutOffLine();
    if (Text(ProfileField::InputControlType).isEmpty())
        return;
    const bool multipoint = document.Multipoint();
    if (document.Kind() == InputKind::Temperature) {
        view.SwitchMonitoringOff();
        ApplyTemperatureLabels();
    } else {
        if (multipoint)
            view.SetReadouts(QString::asprintf("Voltage: %0.2f", view.LiveValue()), std::nullopt);
        view.SwitchMonitoringOff(false);
        ApplyTemperatureLabels();
        ApplyVoltageLabels();
    }
    form.SetPointsText(multipoint ? QStringLiteral("Points: 0") : QString());
}

void CProfileEntry::OnCbnSelchangeTachoAlarm()
{
    form.TakeShownTexts();
    view.ClearLiveIndication();
    const QString &tacho = Text(ProfileField::TachoDependentAlarm);
    if (tacho.isEmpty())
        return;
    if (tacho == OptionLists::tachoDependentAlarm[1]) { // Disabled
        document.SetText(ProfileField::SpeedCap, kNotUsed);
        form.SetFieldEnabled(ProfileField::SpeedCap, false);
    } else {
        document.SetText(ProfileField::AlarmActiveState, OptionLists::alarmActiveState[1]); // Low
        form.SetFieldEnabled(ProfileField::AlarmActiveState, true);
        document.SetText(ProfileField::SpeedCap, QString());
        form.SetFieldEnabled(ProfileField::SpeedCap, true);
    }
}
