// Tick arithmetic of a linear axis.
#pragma once

#include <QString>

// Tick arithmetic of a linear axis: automatic step, first tick and label text.
struct TickStep
{
    double increment = 1;
    int decimals = 0;
};

// `previous` stays when no step fits (too few pixels, or a span no decade step reaches). Ticks lie
// at least 30 pixels apart on a horizontal axis and 20 on a vertical one, times `spacing` (the
// labels' size against the dialog font's).
TickStep ComputeTickStep(int startPixel, int endPixel, bool horizontal, double min, double max, TickStep previous,
                         double spacing = 1);
double ComputeFirstTick(double min, double increment);
QString TickLabelText(double value, int decimals);
