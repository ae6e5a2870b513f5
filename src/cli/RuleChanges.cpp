// Field by field, by the keys of the text form.
#include "RuleChanges.h"

#include "ProfileText.h"

#include <QRegularExpression>

namespace {
bool WholeNumber(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    return whole.match(text).hasMatch();
}
} // namespace

std::vector<RuleChange> RuleChanges(const ControlProfile &given, const ControlProfile &applied)
{
    std::vector<RuleChange> changes;
    const auto before = ProfileFields(given);
    const auto after = ProfileFields(applied);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const QString &was = before[i].second;
        const QString &now = after[i].second;
        if (was == now)
            continue;
        const bool numbers = WholeNumber(was) && WholeNumber(now);
        // "007" and "7" are the same number; one too long to read is not the same as anything.
        bool wasRead = false;
        bool nowRead = false;
        if (numbers && was.toLongLong(&wasRead) == now.toLongLong(&nowRead) && wasRead && nowRead)
            continue;
        changes.push_back({before[i].first, was, now, numbers});
    }
    return changes;
}
