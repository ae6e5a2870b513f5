// Profiles as key = value text: formatting and parsing.
#include "ProfileText.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
struct Key
{
    const char *name;
    QString ControlProfile::*field;
    const QStringList *choices; // null: a number field
};

// Fixed order: the order the window shows the fields in.
const Key kKeys[] = {
    {"inputControlType", &ControlProfile::inputControlType, &OptionLists::inputControlType},
    {"outputControlType", &ControlProfile::outputControlType, &OptionLists::outputControlType},
    {"softwareNumber", &ControlProfile::softwareNumber, nullptr},
    {"versionNumber", &ControlProfile::versionNumber, nullptr},
    {"fanSpeedTopBand", &ControlProfile::fanSpeedTopBand, nullptr},
    {"topBand", &ControlProfile::topBand, nullptr},
    {"fanSpeedBottomBand", &ControlProfile::fanSpeedBottomBand, nullptr},
    {"bottomBand", &ControlProfile::bottomBand, nullptr},
    {"lowShutOff", &ControlProfile::lowShutOff, nullptr},
    {"speedCap", &ControlProfile::speedCap, &OptionLists::speedCap},
    {"invertPwmOutput", &ControlProfile::invertPwmOutput, &OptionLists::invertPwmOutput},
    {"tachoDependentAlarm", &ControlProfile::tachoDependentAlarm, &OptionLists::tachoDependentAlarm},
    {"highAlarm", &ControlProfile::highAlarm, nullptr},
    {"lowAlarm", &ControlProfile::lowAlarm, nullptr},
    {"alarmActiveState", &ControlProfile::alarmActiveState, &OptionLists::alarmActiveState},
};

// Number fields: whole numbers, "N/A" where the field allows it, "Always On" for the shut-off.
bool NumberFieldAccepts(const QString &key, const QString &value)
{
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    if (whole.match(value).hasMatch())
        return key != QStringLiteral("softwareNumber") || !value.startsWith(QLatin1Char('-'));
    if (value == kNotUsed)
        return key != QStringLiteral("softwareNumber") && key != QStringLiteral("versionNumber");
    return key == QStringLiteral("lowShutOff") && value == kAlwaysOn;
}
} // namespace

std::vector<std::pair<QString, QString>> ProfileFields(const ControlProfile &profile)
{
    std::vector<std::pair<QString, QString>> fields;
    for (const Key &key : kKeys)
        fields.emplace_back(QString::fromLatin1(key.name), profile.*(key.field));
    fields.emplace_back(QStringLiteral("multipoint"), profile.multipoint ? QStringLiteral("1") : QStringLiteral("0"));
    return fields;
}

QString FieldText(const ControlProfile &profile, const QString &key)
{
    for (const auto &[name, text] : ProfileFields(profile)) {
        if (name == key)
            return text;
    }
    return {};
}

QString FormatProfileText(const ControlProfile &profile, const std::array<double, FanCurve::kPoints> &curveFan)
{
    QString out;
    for (const auto &[key, value] : ProfileFields(profile))
        out += QStringLiteral("%1 = %2\n").arg(key, value);
    QStringList values;
    for (double v : curveFan)
        values << QString::number(static_cast<long long>(v));
    out += QStringLiteral("curve = ") + values.join(QLatin1Char(',')) + QLatin1Char('\n');
    return out;
}

ParsedProfileText ParseProfileText(const QString &text)
{
    ParsedProfileText result;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        auto fail = [&](const QString &why) {
            result.error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return result;
        };
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return fail(QStringLiteral("expected \"key = value\""));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (const auto earlier = result.keyLines.constFind(key); earlier != result.keyLines.constEnd())
            return fail(QStringLiteral("%1 is given again (first on line %2)").arg(key).arg(*earlier));

        if (key == QStringLiteral("multipoint")) {
            if (value != QStringLiteral("0") && value != QStringLiteral("1"))
                return fail(QStringLiteral("multipoint is 0 or 1, not \"%1\"").arg(value));
            result.profile.multipoint = value == QStringLiteral("1");
            result.keyLines.insert(key, n + 1);
            continue;
        }
        if (key == QStringLiteral("curve")) {
            const QStringList parts = value.split(QLatin1Char(','));
            if (parts.size() != FanCurve::kPoints)
                return fail(QStringLiteral("curve needs %1 values, found %2").arg(FanCurve::kPoints).arg(parts.size()));
            std::array<double, FanCurve::kPoints> curve{};
            for (int i = 0; i < FanCurve::kPoints; ++i) {
                bool ok = false;
                const int v = parts[i].trimmed().toInt(&ok);
                if (!ok || v < 0 || v > 100)
                    return fail(QStringLiteral("curve value %1 is not a whole percentage: \"%2\"")
                                    .arg(i)
                                    .arg(parts[i].trimmed()));
                curve[i] = v;
            }
            result.curveFan = curve;
            result.keyLines.insert(key, n + 1);
            continue;
        }
        const Key *found = nullptr;
        for (const Key &candidate : kKeys) {
            if (key == QLatin1String(candidate.name))
                found = &candidate;
        }
        if (!found)
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        if (found->choices ? !found->choices->contains(value) : !NumberFieldAccepts(key, value)) {
            const QString allowed = found->choices ? found->choices->join(QStringLiteral("\", \"")) : QString();
            return fail(found->choices ? QStringLiteral("%1 is one of \"%2\", not \"%3\"").arg(key, allowed, value)
                                       : QStringLiteral("%1 takes a whole number, not \"%2\"").arg(key, value));
        }
        result.profile.*(found->field) = value;
        result.keyLines.insert(key, n + 1);
    }
    return result;
}
