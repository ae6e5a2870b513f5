// The one mapping between axis values and pixels.
#pragma once

#include <cmath>

// Maps axis values to pixels and back along one side of the plotting area. This is the one
// mapping routine: axes, series, labels and mouse handling all go through it.
class CScaleMap
{
public:
    CScaleMap() = default;
    // start/end: left and right for a horizontal axis, bottom and top for a vertical one.
    CScaleMap(int startPixel, int endPixel, double minimum, double maximum, bool horizontal, bool inverted = false)
        : start(startPixel), end(endPixel), min(minimum), max(maximum), horizontal(horizontal), inverted(inverted)
    {
    }

    // Inline: a strip series maps every point in view through it.
    int transform(double value) const
    {
        int offset = 0;
        if (max != min) {
            const double exact = std::floor(Length() * (value - min) / (max - min));
            // Values far off the scale still land on a pixel far off the plotting area.
            constexpr double kLimit = 1e8;
            offset = static_cast<int>(exact > kLimit ? kLimit : (exact < -kLimit ? -kLimit : exact));
        } else {
            // A single-value range sits in the middle of the span.
            return (start + end) / 2;
        }
        if (horizontal)
            return inverted ? end - offset : start + offset;
        return inverted ? end + offset : start - offset;
    }
    double invTransform(int pixel) const;

    int Length() const { return end > start ? end - start : start - end; }
    int StartPixel() const { return start; }
    int EndPixel() const { return end; }
    double Min() const { return min; }
    double Max() const { return max; }
    bool Horizontal() const { return horizontal; }
    bool ContainsPixel(int pixel) const;
    bool operator==(const CScaleMap &) const = default;

private:
    int start = 0;
    int end = 0;
    double min = 0;
    double max = 1;
    bool horizontal = true;
    bool inverted = false;
};
