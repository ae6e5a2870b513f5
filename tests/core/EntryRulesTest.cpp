// Tests of reading numbers and the band number rule.
#include "EntryRules.h"
#include "ProfileCodec.h"

#include <gtest/gtest.h>

TEST(EntryRules, ReadNumberTakesTheLeadingNumber)
{
    const std::pair<const char *, int> cases[] = {
        {"25", 25},
        {"N/A", 0},
        {"", 0},
        {"-12", -12},
        {"+7", 7},
        {"12abc", 12},
        {" 42", 42},
        {"3.9", 3},
        {"Always On", 0},
        {"99999999999999", 2147483647},
        {"-99999999999999", -2147483647 - 1},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(ReadNumber(QString::fromUtf8(text)), value) << text;
}

TEST(EntryRules, ParseBandNumberCutsRefusesAndKeepsNA)
{
    struct Case
    {
        int limit;
        const char *text;
        int value;
        const char *field; // nullptr: the field keeps its text
    };
    const Case cases[] = {
        {63, "50", 50, nullptr},       {63, "", 0, nullptr},
        {63, "64", 63, "63"},          {10, "123", 10, "10"},
        {24, "-5", NotSetValue, ""},   {24, "5.5", NotSetValue, ""},
        {24, " 5", NotSetValue, ""},   {24, "N/A", NotSetValue, nullptr},
        {24, "n/a", NotSetValue, ""},  {-1, "5", -1, "-1"}, // no bottom band yet: the limit itself is below zero
        {24, "99999999999", 24, "24"},
    };
    for (const Case &c : cases) {
        const BandNumber result = ParseBandNumber(c.limit, QString::fromUtf8(c.text));
        EXPECT_EQ(result.value, c.value) << c.text;
        if (c.field) {
            ASSERT_TRUE(result.fieldText.has_value()) << c.text;
            EXPECT_EQ(*result.fieldText, QString::fromUtf8(c.field)) << c.text;
        } else {
            EXPECT_FALSE(result.fieldText.has_value()) << c.text;
        }
    }
}

TEST(EntryRules, TheVersionNumberStaysAByte)
{
    EXPECT_EQ(VersionNumberTyped(QStringLiteral("300")), QStringLiteral("255"));
    EXPECT_EQ(VersionNumberTyped(QStringLiteral("-1")), QStringLiteral("0")); // would wrap round to 255
    EXPECT_FALSE(VersionNumberTyped(QStringLiteral("7")).has_value());
    // And the image never wraps, whatever a text from elsewhere says.
    ControlProfile profile;
    const TemperatureCodeTable table;
    for (const auto &[text, byte] : {std::pair{"-1", 0}, {"-256", 0}, {"256", 255}, {"42", 42}}) {
        profile.versionNumber = QString::fromLatin1(text);
        EXPECT_EQ(BuildProfileImage(profile, FanCurve().curveFan, table)[263], byte) << text;
    }
}
