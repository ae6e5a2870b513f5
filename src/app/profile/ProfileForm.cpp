// The profile's controls and the document, kept in step.
#include "ProfileForm.h"

#include "EntryRules.h"
#include "NamedComboAccessible.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

namespace {
void Fill(QComboBox *box, const QStringList &items)
{
    box->clear();
    box->addItems(items);
}

struct Naming
{
    ProfileField field;
    const char *name;
    const char *temperatureLabel;
    const char *voltageLabel;
};
// The labels are the window's own texts, without the units a screen reader would spell out.
constexpr Naming kNaming[] = {
    {ProfileField::InputControlType, "Input Control Type", "Input Control Type", nullptr},
    {ProfileField::OutputControlType, "Output Control Type", "Output Control Type", nullptr},
    {ProfileField::SoftwareNumber, "Software Number", "Software Number", nullptr},
    {ProfileField::VersionNumber, "Version number", "Version number", nullptr},
    {ProfileField::FanSpeedTopBand, "Fan Speed Top Band", "Fan Speed Top Band(%)", nullptr},
    {ProfileField::TopBand, "Top Band", "Temperature Top Band(°C)", "Voltage Top Band(V)"},
    {ProfileField::FanSpeedBottomBand, "Fan Speed Bottom Band", "Fan Speed Bottom Band(%)", nullptr},
    {ProfileField::BottomBand, "Bottom Band", "Temperature Bottom Band(°C)", "Voltage Bottom Band(V)"},
    {ProfileField::LowShutOff, "Low Shut Off", "Low Temperature Shut Off(°C)", "Low Voltage Shut Off(V)"},
    {ProfileField::SpeedCap, "Approximate Speed Cap", "Approximate Speed Cap (RPM)", nullptr},
    {ProfileField::InvertPwmOutput, "Invert PWM Output", "Invert PWM Output", nullptr},
    {ProfileField::TachoDependentAlarm, "Tacho Dependent Alarm", "Tacho Dependent Alarm", nullptr},
    {ProfileField::HighAlarm, "High Alarm", "High Temperature Alarm(°C)", "High Voltage Alarm(V)"},
    {ProfileField::LowAlarm, "Low Alarm", "Low Temperature Alarm(°C)", "Low Voltage Alarm(V)"},
    {ProfileField::AlarmActiveState, "Alarm Active State", "Alarm Active State", nullptr},
};
const Naming &NamingOf(ProfileField field)
{
    return kNaming[static_cast<int>(field)];
}
} // namespace

CProfileForm::CProfileForm(ProfileDocument &document, const Controls &c, QObject *parent)
    : QObject(parent), document(document), controls(c)
{
    CNamedComboAccessible::Install();
    widgets = {{ProfileField::InputControlType, c.inputControlType},
               {ProfileField::OutputControlType, c.outputControlType},
               {ProfileField::SoftwareNumber, c.softwareNumber},
               {ProfileField::VersionNumber, c.versionNumber},
               {ProfileField::FanSpeedTopBand, c.fanSpeedTopBand},
               {ProfileField::TopBand, c.topBand},
               {ProfileField::FanSpeedBottomBand, c.fanSpeedBottomBand},
               {ProfileField::BottomBand, c.bottomBand},
               {ProfileField::LowShutOff, c.lowShutOff},
               {ProfileField::SpeedCap, c.speedCap},
               {ProfileField::InvertPwmOutput, c.invertPwmOutput},
               {ProfileField::TachoDependentAlarm, c.tachoDependentAlarm},
               {ProfileField::HighAlarm, c.highAlarm},
               {ProfileField::LowAlarm, c.lowAlarm},
               {ProfileField::AlarmActiveState, c.alarmActiveState}};

    for (const auto &[field, widget] : widgets) {
        widget->installEventFilter(this);
        const ProfileField f = field;
        if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            // Typing only: what the program writes stays silent.
            connect(edit, &QLineEdit::textEdited, this, [this, f](const QString &text) { UserTyped(f, text); });
            continue;
        }
        auto *combo = static_cast<QComboBox *>(widget);
        if (combo->isEditable())
            connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                    [this, f](const QString &text) { UserTyped(f, text); });
        connect(combo, &QComboBox::activated, this, [this, f] { UserChose(f); });
    }
    connect(c.enableMultipoint, &QCheckBox::clicked, this, &CProfileForm::multipointClicked);

    connect(&document, &ProfileDocument::fieldChanged, this, &CProfileForm::Show);
    connect(&document, &ProfileDocument::multipointChanged, c.enableMultipoint, &QCheckBox::setChecked);
    connect(&document, &ProfileDocument::replaced, this, &CProfileForm::ShowAll);
    ShowLabels();
}

void CProfileForm::FillOptionLists()
{
    const QSignalBlocker blocker(this);
    Fill(controls.invertPwmOutput, OptionLists::invertPwmOutput);
    Fill(controls.inputControlType, OptionLists::inputControlType);
    Fill(controls.tachoDependentAlarm, OptionLists::tachoDependentAlarm);
    controls.tachoDependentAlarm->setEnabled(true);
    Fill(controls.outputControlType, OptionLists::outputControlType);
    Fill(controls.lowShutOff, OptionLists::lowShutOff);
    Fill(controls.speedCap, OptionLists::speedCap);
    Fill(controls.highAlarm, OptionLists::highAlarm);
    Fill(controls.lowAlarm, OptionLists::lowAlarm);
    controls.lowAlarm->setEnabled(true);
    Fill(controls.alarmActiveState, OptionLists::alarmActiveState);
    listsFilled = true;
    ShowAll();
}

void CProfileForm::TakeShownTexts()
{
    if (!listsFilled)
        return;
    for (const auto &[field, widget] : widgets) {
        const auto *edit = qobject_cast<const QLineEdit *>(widget);
        const QString shown = edit ? edit->text() : static_cast<const QComboBox *>(widget)->currentText();
        if (shown != document.Text(field))
            document.SetText(field, shown);
    }
    document.SetMultipoint(controls.enableMultipoint->isChecked());
}

QWidget *CProfileForm::Widget(ProfileField field) const
{
    return widgets[static_cast<std::size_t>(field)].second;
}

std::optional<ProfileField> CProfileForm::FieldOfWidget(const QObject *widget) const
{
    for (const auto &[field, w] : widgets) {
        if (w == widget)
            return field;
    }
    return std::nullopt;
}

void CProfileForm::Show(ProfileField field)
{
    const QString &text = document.Text(field);
    QWidget *widget = Widget(field);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        if (combo->isEditable()) {
            if (combo->currentText() != text)
                combo->setEditText(text);
        } else {
            combo->setCurrentIndex(combo->findText(text)); // an empty text shows no entry
        }
    }
    if (field == ProfileField::InputControlType)
        ShowLabels();
}

void CProfileForm::ShowLabels()
{
    const bool temperature = document.Kind() == InputKind::Temperature;
    const std::pair<QLabel *, ProfileField> labels[] = {{controls.topBandLabel, ProfileField::TopBand},
                                                        {controls.bottomBandLabel, ProfileField::BottomBand},
                                                        {controls.lowShutOffLabel, ProfileField::LowShutOff},
                                                        {controls.highAlarmLabel, ProfileField::HighAlarm},
                                                        {controls.lowAlarmLabel, ProfileField::LowAlarm}};
    for (const auto &[label, field] : labels) {
        const Naming &n = NamingOf(field);
        label->setText(QString::fromUtf8(temperature ? n.temperatureLabel : n.voltageLabel));
    }
    // Each field is known by its label, not by what it holds.
    for (const auto &[field, widget] : widgets) {
        const QString name = FieldLabel(field);
        widget->setAccessibleName(name);
        if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->isEditable())
            combo->lineEdit()->setAccessibleName(name);
    }
}

void CProfileForm::ShowAll()
{
    for (ProfileField field : kProfileFields)
        Show(field);
    controls.enableMultipoint->setChecked(document.Multipoint());
}

QString CProfileForm::FieldName(ProfileField field)
{
    return QString::fromUtf8(NamingOf(field).name);
}

QString CProfileForm::FieldLabel(ProfileField field) const
{
    const Naming &n = NamingOf(field);
    const bool voltage = document.Kind() == InputKind::Voltage && n.voltageLabel;
    return QString::fromUtf8(voltage ? n.voltageLabel : n.temperatureLabel);
}

int CProfileForm::MergeKey(ProfileField field) const
{
    return (editSession << 5) | (static_cast<int>(field) + 1);
}

void CProfileForm::UserTyped(ProfileField field, const QString &text)
{
    const ProfileDocument::Edit edit(document, FieldName(field), MergeKey(field));
    TakeShownTexts();
    document.SetText(field, text);
    emit typed(field);
}

void CProfileForm::UserChose(ProfileField field)
{
    auto *combo = static_cast<QComboBox *>(Widget(field));
    const ProfileDocument::Edit edit(document, FieldName(field), MergeKey(field));
    TakeShownTexts();
    document.SetText(field, combo->currentText());
    emit chosen(field);
}

void CProfileForm::Leave(ProfileField field)
{
    // The check's own message box takes the focus: that must not run the check again.
    if (checkRunning)
        return;
    checkRunning = true;
    {
        const ProfileDocument::Edit edit(document, FieldName(field), MergeKey(field));
        TakeShownTexts();
        emit left(field);
    }
    ++editSession;
    checkRunning = false;
}

void CProfileForm::CommitPendingEntry()
{
    if (const std::optional<ProfileField> field = FocusedField())
        Leave(*field);
}

std::optional<ProfileField> CProfileForm::FocusedField() const
{
    const QWidget *focused = QApplication::focusWidget();
    for (; focused; focused = focused->parentWidget()) {
        if (const std::optional<ProfileField> field = FieldOfWidget(focused))
            return field;
    }
    return std::nullopt;
}

bool CProfileForm::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving a field by Tab, by a click elsewhere or by the window losing focus runs its check;
    // a list dropping down does not leave it.
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        if (const std::optional<ProfileField> field = FieldOfWidget(watched))
            Leave(*field);
    }
    return QObject::eventFilter(watched, event);
}

void CProfileForm::SetFieldEnabled(ProfileField field, bool enabled)
{
    Widget(field)->setEnabled(enabled);
}

bool CProfileForm::FieldEnabled(ProfileField field) const
{
    return Widget(field)->isEnabled();
}

void CProfileForm::SetBandFieldsEnabled(bool enabled)
{
    for (ProfileField field : {ProfileField::FanSpeedTopBand, ProfileField::TopBand, ProfileField::FanSpeedBottomBand,
                               ProfileField::BottomBand, ProfileField::LowShutOff})
        SetFieldEnabled(field, enabled);
}

void CProfileForm::SetAllEnabled(bool enabled)
{
    for (const auto &[field, widget] : widgets)
        widget->setEnabled(enabled);
    controls.enableMultipoint->setEnabled(enabled);
}

void CProfileForm::SetPointsText(const QString &text)
{
    controls.points->setText(text);
}
