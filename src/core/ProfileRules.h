#pragma once

#include "ControlProfile.h"
#include "FanCurve.h"

#include <QString>

#include <optional>

// Curve entry of a band field's text in the given form.
int BandIndex(const QString &bandText, bool voltage);

// The curve the window draws from the band fields when it leaves multipoint mode.
void RebuildBandCurve(FanCurve &curve, const ControlProfile &profile);

// A refusal in the window's own words.
struct Refusal
{
    QString caption;
    QString text;
};

// The field rules of the window applied to a whole profile at once: numbers over a limit are cut
// to it, the software number is padded to five digits, a low alarm is held within -35..55, a high
// alarm of 0 becomes 1. Returns the window's message for an entry it would refuse.
std::optional<Refusal> ApplyEntryRules(ControlProfile &profile);

// What saving refuses: unset band fields outside multipoint mode.
std::optional<Refusal> CheckSaveable(const ControlProfile &profile);
