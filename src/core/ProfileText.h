// The text form of a profile that orvexctl reads and writes.
#pragma once

#include "ControlProfile.h"
#include "FanCurve.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// Profiles as "key = value" lines, one field a line, then "curve = " and 256 whole numbers.
QString FormatProfileText(const ControlProfile &profile, const std::array<double, FanCurve::kPoints> &curveFan);

struct ParsedProfileText
{
    ControlProfile profile;                                        // missing keys keep the default template
    std::optional<std::array<double, FanCurve::kPoints>> curveFan; // when a curve line was given
    QString error;                                                 // "line N: ..." when the text is refused
    QHash<QString, int> keyLines;                                  // the line each given key stood on
};

// A key given twice is refused: which of the two was meant cannot be told.
ParsedProfileText ParseProfileText(const QString &text);

// The fields by their keys, in the window's order, "multipoint" last as 0 or 1.
std::vector<std::pair<QString, QString>> ProfileFields(const ControlProfile &profile);
// One field's text by its key; empty for a key the text form does not have.
QString FieldText(const ControlProfile &profile, const QString &key);
