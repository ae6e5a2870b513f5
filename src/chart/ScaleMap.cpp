// Value to pixel mapping along one side of the plotting area.
#include "ScaleMap.h"

#include <cmath>
#include <limits>

int CScaleMap::transform(double value) const
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

double CScaleMap::invTransform(int pixel) const
{
    if (max == min || Length() == 0)
        return min;
    int d;
    if (horizontal)
        d = inverted ? end - pixel : pixel - start;
    else
        d = inverted ? pixel - end : start - pixel;
    return min + (static_cast<double>(d) / Length()) * (max - min);
}

bool CScaleMap::ContainsPixel(int pixel) const
{
    const int low = start < end ? start : end;
    const int high = start < end ? end : start;
    return pixel >= low && pixel <= high;
}
