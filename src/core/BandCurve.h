// The fan curve as the band fields make it.
#pragma once

#include "ControlProfile.h"
#include "FanCurve.h"

#include <QString>

// Curve entry of a band field's text in the given form.
int BandIndex(const QString &bandText, InputKind kind);

// The curve built from the band fields alone, as the window draws it when it leaves multipoint mode.
void RebuildBandCurve(FanCurve &curve, const ControlProfile &profile);
