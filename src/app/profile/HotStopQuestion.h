// The question asked before a curve that stops the fan when hot leaves the window.
#pragma once

#include "FanCurve.h"
#include "ModalUi.h"
#include "ProfileCompare.h"

// True when the curve keeps the fan running at its hot end, or the user wants it as it is.
inline bool AcceptHotStop(WindowDialogs &dialogs, const FanCurve &curve, InputKind kind, const QString &question)
{
    const std::optional<int> entry = HotStopEntry(curve.curveFan);
    return !entry || dialogs.Ask(QStringLiteral("Fan stops when hot"),
                                 HotStopWarning(*entry, kind) + QLatin1Char('\n') + question);
}
