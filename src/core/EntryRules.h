#pragma once

#include <QString>

#include <optional>

// How the profile's field texts are read and checked.

// Returned for a band text that is not a number.
inline constexpr int NotSetValue = 9999;

// The leading decimal number of a text, with an optional sign; 0 when there is none ("N/A", "").
// Numbers too large for an int saturate instead of wrapping.
int ReadNumber(const QString &text);

struct BandNumber
{
    int value = 0;
    // What the field must show afterwards, when it changes: the limit, or empty for a refused text.
    std::optional<QString> fieldText;
};

// Digits only (empty reads 0); over the limit cuts to the limit in the field; anything else is
// NotSetValue and the field is emptied, unless it reads exactly "N/A".
BandNumber ParseBandNumber(int limit, const QString &text);
