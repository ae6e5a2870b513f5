// orvexctl encode: profile text into a profile file, by the window's field rules.
#include "Commands.h"
#include "Files.h"
#include "Options.h"
#include "Output.h"
#include "RuleChanges.h"

#include "BandCurve.h"
#include "EntryRules.h"
#include "ProfileText.h"

namespace {
// "line 3: topBand = -5", or the default's value where the text did not give the key.
QString FieldAt(const ParsedProfileText &parsed, const ControlProfile &given, const QString &key)
{
    const QString value = FieldText(given, key);
    const int line = parsed.keyLines.value(key);
    return line > 0 ? QStringLiteral("line %1: %2 = %3").arg(line).arg(key, value)
                    : QStringLiteral("%1 = %2 (not given)").arg(key, value);
}

// The notes for values the rules changed.
QStringList Changes(const ParsedProfileText &parsed, const ControlProfile &given, const ControlProfile &applied)
{
    QStringList notes;
    for (const RuleChange &change : RuleChanges(given, applied))
        notes << QStringLiteral("%1: %2 %3")
                     .arg(FieldAt(parsed, given, change.key),
                          change.cut ? QStringLiteral("cut to") : QStringLiteral("becomes"), change.now);
    return notes;
}
} // namespace

int Encode(const QStringList &args)
{
    const QCommandLineOption output = Options::Output();
    CommandLine line(
        QStringLiteral("encode"), QStringLiteral("encode TEXTFILE [-o FILE]"),
        QStringLiteral("Builds the 320-byte profile file FILE from TEXTFILE, lines of the form decode prints;\n"
                       "\"-\" reads standard input, -o - writes standard output, and so does no -o unless standard\n"
                       "output is a terminal. Missing keys take the default template's values; a key given twice\n"
                       "is refused. Without a curve line the curve is built from the band fields, as the window\n"
                       "does. The window's field rules apply: a number over a limit is cut to it (said on stderr),\n"
                       "and a profile the window refuses is refused with its message, naming the line and key.\n"
                       "Texts over 64 KiB are refused."),
        {output});
    if (const std::optional<int> done = line.Parse(args, 1, 1))
        return *done;
    const std::optional<QString> written = line.BinaryOutput(output);
    if (!written)
        return kExitUsage;
    const QString input = line.Arguments().constFirst();
    const QString target = *written;
    const QString where = input == QStringLiteral("-") ? QString() : input + QStringLiteral(": ");

    const InputRead read = ReadTextInput(input);
    if (!read.error.isEmpty())
        return Refuse(read.error);
    ParsedProfileText parsed = ParseProfileText(QString::fromUtf8(read.bytes));
    if (!parsed.error.isEmpty())
        return Refuse(where + parsed.error);

    const ControlProfile given = parsed.profile;
    ControlProfile &profile = parsed.profile;
    if (const std::optional<FieldRefusal> refused = ApplyEntryRulesToFields(profile))
        return Refuse(where + FieldAt(parsed, given, refused->key) + QStringLiteral(": ") + refused->refusal.text);
    if (const std::optional<FieldRefusal> refused = CheckSaveableFields(profile))
        return Refuse(where + FieldAt(parsed, given, refused->key) + QStringLiteral(": ") + refused->refusal.text);
    for (const QString &note : Changes(parsed, given, profile))
        Err::Line(where + note);

    FanCurve curve;
    if (parsed.curveFan)
        curve.curveFan = *parsed.curveFan;
    else if (profile.multipoint)
        return Refuse(where + QStringLiteral("a multipoint profile needs its curve line"));
    else
        RebuildBandCurve(curve, profile);

    const TemperatureCodeTable table;
    const ProfileImage image = BuildProfileImage(profile, curve.curveFan, table);
    const QString reason =
        WriteOutput(target, QByteArray(reinterpret_cast<const char *>(image.data()), kProfileImageSize));
    if (!reason.isEmpty())
        return Out::Finish(Refuse(QStringLiteral("%1: %2").arg(target, reason)));
    return Out::Finish(kExitOk);
}
