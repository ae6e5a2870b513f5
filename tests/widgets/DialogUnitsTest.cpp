// Tests of the dialog unit conversion.
#include "DialogUnits.h"

#include <gtest/gtest.h>

TEST(DialogUnits, WindowsRuleWithTheClassicBaseUnits)
{
    // "MS Shell Dlg" 8 pt at 96 dpi: base units 6 x 13.
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.X(4), 6);
    EXPECT_EQ(units.Y(8), 13);
    EXPECT_EQ(units.Size(683, 430), QSize(1025, 699));
    EXPECT_EQ(units.X(1), 2); // 1.5 rounds up
    EXPECT_EQ(units.Y(3), 5); // 4.875
    EXPECT_EQ(units.X(-2), -3);
}

TEST(DialogUnits, RectanglesConvertTheirCornersSoNeighboursStayAdjacent)
{
    const DialogUnits units(7, 15);
    const QRect a = units.Rect(19, 18, 90, 37);
    const QRect b = units.Rect(109, 18, 20, 37);
    EXPECT_EQ(a.right() + 1, b.left());
    EXPECT_EQ(a.left(), units.X(19));
    EXPECT_EQ(a.bottom() + 1, units.Y(55));
}

TEST(DialogUnits, BaseUnitsGrowWithTheFont)
{
    QFont small = DialogUnits::DialogFont();
    QFont large = small;
    large.setPointSize(small.pointSize() * 2);
    const DialogUnits a(small);
    const DialogUnits b(large);
    EXPECT_GE(a.BaseX(), 1);
    EXPECT_GT(b.BaseX(), a.BaseX());
    EXPECT_GT(b.BaseY(), a.BaseY());
}
