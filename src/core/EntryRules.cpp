#include "EntryRules.h"

#include <limits>

int ReadNumber(const QString &text)
{
    int i = 0;
    const int size = static_cast<int>(text.size());
    while (i < size && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < size && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    constexpr long long kCap = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < size && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > kCap)
            value = kCap;
    }
    if (negative)
        return static_cast<int>(-value < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min() : -value);
    return static_cast<int>(value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : value);
}

BandNumber ParseBandNumber(int limit, const QString &text)
{
    bool digitsOnly = true;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            digitsOnly = false;
            break;
        }
    }
    if (digitsOnly) {
        const int n = ReadNumber(text);
        if (n > limit)
            return {limit, QString::number(limit)};
        return {n, std::nullopt};
    }
    if (text == QStringLiteral("N/A"))
        return {NotSetValue, std::nullopt};
    return {NotSetValue, QString()};
}
