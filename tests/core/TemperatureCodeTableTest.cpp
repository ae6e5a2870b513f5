// Tests of the thermistor code table.
#include "TemperatureCodeTable.h"

#include <gtest/gtest.h>

TEST(TemperatureCodeTable, SearchesFindTheFirstIndexHoldingACode)
{
    const TemperatureCodeTable table;
    struct Case
    {
        int code;
        int start;
        int index;
    };
    const Case cases[] = {
        {198, 0, 0},   // 0 degC; index 1 holds 198 too
        {8, 0, 306},   // 115 degC
        {199, 0, 307}, // -1 degC
        {246, 0, 341}, // -35 degC, the last entry
        {198, 1, 1},   // a search that starts past 0
        {41, 256, 256}, {238, 308, 330},
    };
    for (const Case &c : cases) {
        const auto found = table.Find(c.code, c.start);
        ASSERT_TRUE(found.has_value()) << "code " << c.code;
        EXPECT_EQ(*found, c.index) << "code " << c.code << " from " << c.start;
    }
}

TEST(TemperatureCodeTable, CodesNoEntryHoldsAreNotFoundAndTheSearchEndsAtTheTable)
{
    const TemperatureCodeTable table;
    for (int code : {0, 7, 200, 202, 247, 255})
        EXPECT_FALSE(table.Find(code).has_value()) << code;
    EXPECT_FALSE(table.Find(198, 2).has_value());
    EXPECT_FALSE(table.Find(246, TemperatureCodeTable::kSize).has_value());
}

TEST(TemperatureCodeTable, ShapeOfTheCalibration)
{
    const TemperatureCodeTable table;
    // Falls (never rises) from 0 degC to 115 degC, then rises from -1 degC to -35 degC.
    for (int i = 1; i <= 306; ++i)
        EXPECT_LE(table[i], table[i - 1]) << i;
    for (int i = 308; i < TemperatureCodeTable::kSize; ++i)
        EXPECT_GE(table[i], table[i - 1]) << i;
    EXPECT_EQ(table[255], 42);
    EXPECT_EQ(table[256], 41);
    EXPECT_EQ(table[320], 225);
    EXPECT_DOUBLE_EQ(TemperatureCodeTable::TemperatureOfIndex(101), 25.25);
    EXPECT_DOUBLE_EQ(TemperatureCodeTable::TemperatureOfIndex(306), 115);
    EXPECT_DOUBLE_EQ(TemperatureCodeTable::TemperatureOfIndex(341), -35);
}
