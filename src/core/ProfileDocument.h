// The profile being edited: its fields, its fan curve with the curve's anchors, and whether it
// differs from what was last loaded, saved, downloaded or uploaded.
#pragma once

#include "ControlProfile.h"
#include "FanCurve.h"
#include "ProfileCodec.h"
#include "TemperatureCodeTable.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

// The fifteen fields, in the window's order.
enum class ProfileField {
    InputControlType,
    OutputControlType,
    SoftwareNumber,
    VersionNumber,
    FanSpeedTopBand,
    TopBand,
    FanSpeedBottomBand,
    BottomBand,
    LowShutOff,
    SpeedCap,
    InvertPwmOutput,
    TachoDependentAlarm,
    HighAlarm,
    LowAlarm,
    AlarmActiveState,
};
inline constexpr int kProfileFieldCount = 15;
inline constexpr std::array<ProfileField, kProfileFieldCount> kProfileFields{
    ProfileField::InputControlType,   ProfileField::OutputControlType, ProfileField::SoftwareNumber,
    ProfileField::VersionNumber,      ProfileField::FanSpeedTopBand,   ProfileField::TopBand,
    ProfileField::FanSpeedBottomBand, ProfileField::BottomBand,        ProfileField::LowShutOff,
    ProfileField::SpeedCap,           ProfileField::InvertPwmOutput,   ProfileField::TachoDependentAlarm,
    ProfileField::HighAlarm,          ProfileField::LowAlarm,          ProfileField::AlarmActiveState};

QString &FieldOf(ControlProfile &profile, ProfileField field);
const QString &FieldOf(const ControlProfile &profile, ProfileField field);
// The field's key in the text form ("topBand").
QString FieldKey(ProfileField field);

// Everything a profile is while it is edited: what undo, the recovery copy and the modified marker
// keep and compare.
struct ProfileState
{
    ControlProfile fields;
    FanCurve curve;
    bool operator==(const ProfileState &) const = default;
};

class ProfileDocument : public QObject
{
    Q_OBJECT
public:
    explicit ProfileDocument(QObject *parent = nullptr);

    const ProfileState &State() const { return state; }
    const ControlProfile &Fields() const { return state.fields; }
    const FanCurve &Curve() const { return state.curve; }
    const QString &Text(ProfileField field) const { return FieldOf(state.fields, field); }
    InputKind Kind() const { return state.fields.Kind(); }
    bool Multipoint() const { return state.fields.multipoint; }
    const TemperatureCodeTable &Codes() const { return codes; }

    void SetText(ProfileField field, const QString &text);
    void SetMultipoint(bool on);
    template <class Change> void ChangeCurve(Change &&change)
    {
        const Recording recording(*this);
        change(state.curve);
        emit curveChanged();
        Touched();
    }
    // The whole profile at once (undo, redo, a recovered or journalled profile).
    void Replace(const ProfileState &replacement);

    // The default template's fields and curve.
    void LoadDefaultTemplate();
    // The fields a change of form resets: the bands emptied and the options back to the form's own.
    void ApplyForm(InputKind kind);
    // The band steps, from the document's own fields. bandMoved: the band itself changed, not
    // only its fan speed.
    void PlaceTopBand(bool bandMoved);
    void PlaceBottomBand(bool bandMoved);
    // The curve the band fields alone make, as when multipoint mode is left.
    void RebuildBandCurve();

    ProfileImage BuildImage() const;
    DecodedProfile Decode(const std::uint8_t *image, bool fromUpload) const;
    // An image into the fields and the curve, as decoded; returns what was decoded. A band-mode
    // profile gets its band anchors back, so that the next band edit joins the curve to them as it
    // would after the template.
    DecodedProfile ApplyImage(const std::uint8_t *image, bool fromUpload);
    void ApplyDecoded(const DecodedProfile &decoded, bool fromUpload);

    // Whether the profile differs from the one last loaded, saved, downloaded or uploaded: its
    // fields or its curve's values (where the curve is drawn and what guides edits do not count).
    bool Modified() const { return !(state.fields == clean.fields) || state.curve.curveFan != clean.curve.curveFan; }
    void MarkClean() { MarkClean(state); }
    void MarkClean(const ProfileState &reference);
    const ProfileState &Clean() const { return clean; }

    // One change the user made: whatever changes while the outermost scope lives is one step of
    // undo, named after the change. Edits with the same merge key in a row make one step.
    class Edit
    {
    public:
        Edit(ProfileDocument &document, const QString &name, int mergeKey = 0);
        ~Edit();
        Edit(const Edit &) = delete;
        Edit &operator=(const Edit &) = delete;

    private:
        ProfileDocument &document;
        bool outermost;
    };

signals:
    void fieldChanged(ProfileField field);
    void multipointChanged(bool on);
    void curveChanged();
    // Everything may have changed at once.
    void replaced();
    void modifiedChanged(bool modified);
    // An edit has ended with the profile changed.
    void edited(const QString &name, int mergeKey, const ProfileState &before, const ProfileState &after);

private:
    // A change outside any edit still makes one step of its own.
    class Recording
    {
    public:
        explicit Recording(ProfileDocument &document);
        ~Recording();

    private:
        std::optional<Edit> implicit;
    };
    void Touched();
    void SetFields(const ControlProfile &fields);
    static void SettleBandAnchors(FanCurve &curve);
    void RestoreBandAnchors();

    TemperatureCodeTable codes;
    ProfileState state;
    ProfileState clean;
    bool wasModified = false;
    int editDepth = 0;
    ProfileState editBefore;
    QString editName;
    int editMergeKey = 0;
};
