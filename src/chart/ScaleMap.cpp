// Value to pixel mapping along one side of the plotting area.
#include "ScaleMap.h"

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
