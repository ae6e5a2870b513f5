// Dialog units and the dialog font.
#pragma once

#include <QFont>
#include <QRect>

// Converts dialog units to pixels by Windows' own rule, from the dialog font's average character
// width (of A-Z and a-z) and its height, so layouts scale with the font and the screen.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont &font);
    DialogUnits(int baseUnitX, int baseUnitY) : baseX(baseUnitX), baseY(baseUnitY) {}

    // The dialog font: the system's sans-serif family at 8 points, as "MS Shell Dlg" is on Windows.
    static QFont DialogFont();

    int X(int dluX) const;
    int Y(int dluY) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }

    int BaseX() const { return baseX; }
    int BaseY() const { return baseY; }

    // The same layout drawn `factor` times as large (below 1 on a screen too small for it).
    DialogUnits Scaled(double factor) const;
    double Scale() const { return scale; }

private:
    int Convert(int dlu, int base, int per) const;

    int baseX;
    int baseY;
    double scale = 1;
};
