// The profile being edited, and the steps that change it as a whole.
#include "ProfileDocument.h"

#include "BandCurve.h"
#include "EntryRules.h"

namespace {
using Member = QString ControlProfile::*;
constexpr std::array<Member, kProfileFieldCount> kMembers{
    &ControlProfile::inputControlType,   &ControlProfile::outputControlType, &ControlProfile::softwareNumber,
    &ControlProfile::versionNumber,      &ControlProfile::fanSpeedTopBand,   &ControlProfile::topBand,
    &ControlProfile::fanSpeedBottomBand, &ControlProfile::bottomBand,        &ControlProfile::lowShutOff,
    &ControlProfile::speedCap,           &ControlProfile::invertPwmOutput,   &ControlProfile::tachoDependentAlarm,
    &ControlProfile::highAlarm,          &ControlProfile::lowAlarm,          &ControlProfile::alarmActiveState};
constexpr std::array<const char *, kProfileFieldCount> kKeys{
    "inputControlType", "outputControlType",   "softwareNumber", "versionNumber", "fanSpeedTopBand",
    "topBand",          "fanSpeedBottomBand",  "bottomBand",     "lowShutOff",    "speedCap",
    "invertPwmOutput",  "tachoDependentAlarm", "highAlarm",      "lowAlarm",      "alarmActiveState"};
} // namespace

QString &FieldOf(ControlProfile &profile, ProfileField field)
{
    return profile.*kMembers[static_cast<std::size_t>(field)];
}

const QString &FieldOf(const ControlProfile &profile, ProfileField field)
{
    return profile.*kMembers[static_cast<std::size_t>(field)];
}

QString FieldKey(ProfileField field)
{
    return QString::fromLatin1(kKeys[static_cast<std::size_t>(field)]);
}

ProfileDocument::ProfileDocument(QObject *parent) : QObject(parent)
{
    state.curve.topBandIndex = state.curve.bottomBandIndex = 0;
    clean = state;
}

ProfileDocument::Edit::Edit(ProfileDocument &document, const QString &name, int mergeKey)
    : document(document), outermost(document.editDepth++ == 0)
{
    if (!outermost)
        return;
    document.editBefore = document.state;
    document.editName = name;
    document.editMergeKey = mergeKey;
}

ProfileDocument::Edit::~Edit()
{
    --document.editDepth;
    if (outermost && !(document.state == document.editBefore))
        emit document.edited(document.editName, document.editMergeKey, document.editBefore, document.state);
}

ProfileDocument::Recording::Recording(ProfileDocument &document)
{
    if (document.editDepth == 0)
        implicit.emplace(document, QStringLiteral("Change"));
}

ProfileDocument::Recording::~Recording() = default;

void ProfileDocument::Touched()
{
    const bool modified = Modified();
    if (modified == wasModified)
        return;
    wasModified = modified;
    emit modifiedChanged(modified);
}

void ProfileDocument::MarkClean(const ProfileState &reference)
{
    clean = reference;
    Touched();
}

void ProfileDocument::SetText(ProfileField field, const QString &text)
{
    QString &current = FieldOf(state.fields, field);
    if (current == text)
        return;
    const Recording recording(*this);
    current = text;
    emit fieldChanged(field);
    Touched();
}

void ProfileDocument::SetMultipoint(bool on)
{
    if (state.fields.multipoint == on)
        return;
    const Recording recording(*this);
    state.fields.multipoint = on;
    emit multipointChanged(on);
    Touched();
}

void ProfileDocument::SetFields(const ControlProfile &fields)
{
    for (ProfileField field : kProfileFields)
        SetText(field, FieldOf(fields, field));
    SetMultipoint(fields.multipoint);
}

void ProfileDocument::Replace(const ProfileState &replacement)
{
    state = replacement;
    emit replaced();
    Touched();
}

void ProfileDocument::LoadDefaultTemplate()
{
    const Recording recording(*this);
    SetFields(ControlProfile());
    ChangeCurve([](FanCurve &curve) { curve.LoadDefault(); });
}

void ProfileDocument::ApplyForm(InputKind kind)
{
    const Recording recording(*this);
    const bool temperature = kind == InputKind::Temperature;
    SetText(ProfileField::InputControlType, InputKindName(kind));
    for (ProfileField band : {ProfileField::FanSpeedTopBand, ProfileField::TopBand, ProfileField::FanSpeedBottomBand,
                              ProfileField::BottomBand})
        SetText(band, QString());
    SetText(ProfileField::AlarmActiveState, OptionLists::alarmActiveState[0]);       // High
    SetText(ProfileField::TachoDependentAlarm, OptionLists::tachoDependentAlarm[1]); // Disabled
    SetText(ProfileField::LowShutOff, temperature ? kNotUsed : QString());
    SetText(ProfileField::SpeedCap, kNotUsed);
    SetText(ProfileField::InvertPwmOutput, OptionLists::invertPwmOutput[0]); // Disabled
    SetText(ProfileField::HighAlarm, kNotUsed);
    SetText(ProfileField::LowAlarm, kNotUsed);
}

void ProfileDocument::SettleBandAnchors(FanCurve &curve)
{
    // A decoded curve holds at a band's entry whatever the image's table gave it (a warmer step
    // sharing its code); the band's own speed is what the next step joins to, as after the template.
    for (const int index : {curve.bottomBandIndex, curve.topBandIndex}) {
        if (index > 0 && index < FanCurve::kPoints && curve.pointDefined[index] == 1)
            curve.curveFan[index] = curve.pointFan[index];
    }
}

void ProfileDocument::PlaceTopBand(bool bandMoved)
{
    const ControlProfile &f = state.fields;
    if (!bandMoved && f.topBand == kNotUsed)
        return;
    const int k = BandIndex(f.topBand, f.Kind());
    const int p = ReadNumber(f.fanSpeedTopBand); // "N/A" and empty read as 0
    ChangeCurve([&](FanCurve &curve) {
        SettleBandAnchors(curve);
        curve.PlaceTopBand(k, p, bandMoved);
    });
}

void ProfileDocument::PlaceBottomBand(bool bandMoved)
{
    const ControlProfile &f = state.fields;
    if (!bandMoved && f.bottomBand == kNotUsed)
        return;
    const int k = BandIndex(f.bottomBand, f.Kind());
    const QString fanText = f.fanSpeedBottomBand;
    ChangeCurve([&](FanCurve &curve) {
        SettleBandAnchors(curve);
        if (k >= 1 && k < FanCurve::kPoints)
            curve.curveX[k] = k;
        if (fanText != kNotUsed && !fanText.isEmpty())
            curve.PlaceBottomBand(k, ReadNumber(fanText), bandMoved);
    });
}

void ProfileDocument::RebuildBandCurve()
{
    ChangeCurve([this](FanCurve &curve) { ::RebuildBandCurve(curve, state.fields); });
}

ProfileImage ProfileDocument::BuildImage() const
{
    return ::BuildProfileImage(state.fields, state.curve.curveFan, codes);
}

DecodedProfile ProfileDocument::Decode(const std::uint8_t *image, bool fromUpload) const
{
    return ::DecodeProfileImage(image, fromUpload, codes);
}

DecodedProfile ProfileDocument::ApplyImage(const std::uint8_t *image, bool fromUpload)
{
    DecodedProfile decoded = Decode(image, fromUpload);
    ApplyDecoded(decoded, fromUpload);
    return decoded;
}

void ProfileDocument::ApplyDecoded(const DecodedProfile &d, bool fromUpload)
{
    const Recording recording(*this);
    SetFields(d.fields);
    ChangeCurve([&](FanCurve &curve) {
        curve.curveFan = d.curveFan;
        curve.pointFan.fill(0);
        curve.pointDefined.fill(0);
        if (fromUpload && d.setBandIndices) {
            for (int index : d.definedPoints)
                curve.pointDefined[index] = 1;
            curve.bottomBandIndex = d.bottomBandIndex;
            curve.topBandIndex = d.topBandIndex;
        } else if (d.fields.multipoint) {
            curve.bottomBandIndex = curve.topBandIndex = 0;
        }
    });
    if (!d.fields.multipoint)
        RestoreBandAnchors();
}

void ProfileDocument::RestoreBandAnchors()
{
    // The anchors the band fields stand for, as typing them after the template leaves them. The
    // curve itself stays as decoded: the image is the profile; the anchors guide the next edit.
    const ControlProfile &f = state.fields;
    const int bottom = BandIndex(f.bottomBand, f.Kind());
    const int top = BandIndex(f.topBand, f.Kind());
    if (bottom < 1 || bottom >= top || top >= FanCurve::kPoints) {
        ChangeCurve([](FanCurve &curve) {
            curve.bottomBandIndex = curve.topBandIndex = 0;
            curve.pointDefined[0] = 1;
        });
        return;
    }
    const int fanBottom = ReadNumber(f.fanSpeedBottomBand);
    const int fanTop = ReadNumber(f.fanSpeedTopBand);
    ChangeCurve([&](FanCurve &curve) {
        curve.pointDefined[0] = 1;
        curve.pointDefined[bottom] = 1;
        curve.pointFan[bottom] = fanBottom;
        curve.bottomBandIndex = bottom;
        curve.pointDefined[top] = 1;
        curve.pointFan[top] = fanTop;
        curve.topBandIndex = top;
        curve.pointDefined[FanCurve::kPoints - 1] = 1;
        curve.pointFan[FanCurve::kPoints - 1] = fanTop;
    });
}
