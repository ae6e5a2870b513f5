// The window's rules, applied to a file before it is sent.
#include "ProfileChecks.h"

#include "Files.h"
#include "Output.h"
#include "RuleChanges.h"

#include "EntryRules.h"
#include "ProfileCompare.h"
#include "ProfileText.h"

std::optional<QString> WindowRefusal(const ProfileImage &image)
{
    const TemperatureCodeTable table;
    const DecodedProfile decoded = DecodeProfileImage(image.data(), false, table);
    ControlProfile checked = decoded.fields;
    if (const std::optional<FieldRefusal> refused = ApplyEntryRulesToFields(checked))
        return QStringLiteral("%1 = %2: %3")
            .arg(refused->key, FieldText(decoded.fields, refused->key), refused->refusal.text);
    if (const std::optional<Refusal> refusal = CheckDownloadable(checked))
        return refusal->text;
    // A value the window's fields could never hold: the file was not made by its rules.
    const std::vector<RuleChange> changes = RuleChanges(decoded.fields, checked);
    if (!changes.empty())
        return QStringLiteral("%1 = %2: %3")
            .arg(changes.front().key, changes.front().was, Refusals::ValueNotInRange().text);
    if (const std::optional<int> entry = HotStopEntry(decoded.curveFan))
        return HotStopWarning(*entry, decoded.fields.Kind());
    return std::nullopt;
}

SendableProfile ReadSendableProfile(const QString &path, bool force)
{
    const ProfileInput input = ReadProfileInput(path);
    if (!input.error.isEmpty())
        return {{}, input.error};
    if (input.length != kProfileImageSize)
        return {{},
                QStringLiteral("%1: a profile file holds %2 bytes, this one %3")
                    .arg(path)
                    .arg(kProfileImageSize)
                    .arg(input.length)};
    if (const std::optional<QString> refusal = WindowRefusal(input.image)) {
        if (!force)
            return {{}, QStringLiteral("%1: %2 (--force sends it anyway)").arg(path, *refusal)};
        Err::Line(QStringLiteral("%1: %2 (sent all the same)").arg(path, *refusal));
    }
    return {input.image, {}};
}
