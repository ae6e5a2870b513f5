// Tick arithmetic of a linear axis.
#pragma once

#include <QString>

// Tick arithmetic of a linear axis: automatic step, first tick and label text.
struct TickStep
{
    double increment = 1;
    int decimals = 0;
};

// `previous` stays when no step fits (too few pixels, or a span no decade step reaches).
TickStep ComputeTickStep(int startPixel, int endPixel, bool horizontal, double min, double max, TickStep previous);
double ComputeFirstTick(double min, double increment);
QString TickLabelText(double value, int decimals);
