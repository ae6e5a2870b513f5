// Dialog units to pixels from the dialog font.
#include "DialogUnits.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include <cmath>

namespace {
// MulDiv: rounds the exact quotient to the nearest whole number.
int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}
} // namespace

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX = (alphabet / 26 + 1) / 2;
    baseY = metrics.height();
    if (baseX < 1)
        baseX = 1;
    if (baseY < 1)
        baseY = 1;
}

QFont DialogUnits::DialogFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSize(8);
    return font;
}

DialogUnits DialogUnits::Scaled(double factor) const
{
    DialogUnits scaled = *this;
    scaled.scale = scale * factor;
    return scaled;
}

int DialogUnits::Convert(int dlu, int base, int per) const
{
    if (scale == 1)
        return MulDiv(dlu, base, per);
    return static_cast<int>(std::lround(dlu * base * scale / per));
}

int DialogUnits::X(int dluX) const
{
    return Convert(dluX, baseX, 4);
}

int DialogUnits::Y(int dluY) const
{
    return Convert(dluY, baseY, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const
{
    // Corners are converted, not sizes, so neighbouring controls never gain or lose a pixel between them.
    const int left = X(x);
    const int top = Y(y);
    return {left, top, X(x + width) - left, Y(y + height) - top};
}
