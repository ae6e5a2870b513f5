// Tests of the profile image codec.
#include "ProfileCodec.h"

#include <gtest/gtest.h>

namespace {
const TemperatureCodeTable kTable;

ProfileImage Build(const ControlProfile &p, double flat = 0)
{
    std::array<double, FanCurve::kPoints> curve{};
    curve.fill(flat);
    const ProfileImage image = BuildProfileImage(p, curve, kTable);
    return image;
}

ControlProfile Voltage()
{
    ControlProfile p;
    p.inputControlType = QStringLiteral("Voltage");
    p.topBand = QStringLiteral("8");
    p.bottomBand = QStringLiteral("4");
    p.lowShutOff = QStringLiteral("2");
    p.highAlarm = QStringLiteral("N/A");
    return p;
}

DecodedProfile RoundTrip(const ControlProfile &p)
{
    const ProfileImage image = Build(p);
    return DecodeProfileImage(image.data(), false, kTable);
}
} // namespace

TEST(ProfileImage, FlatCurvesInBothForms)
{
    const std::pair<double, int> voltageCases[] = {{50, 127}, {100, 255}, {25, 64}, {0, 0}};
    for (const auto &[percent, level] : voltageCases) {
        const ProfileImage image = Build(Voltage(), percent);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(image[i], level) << percent << "% at " << i;
    }
    const ProfileImage image = Build(ControlProfile(), 50);
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(image[c], c >= 43 && c <= 198 ? 127 : 0) << c;
}

TEST(ProfileImage, WarmestStepWinsASharedCode)
{
    std::array<double, FanCurve::kPoints> curve{};
    curve[81] = 40; // 20.25 degC
    curve[82] = 41; // 20.50 degC, the same code
    ProfileImage image{};
    EncodeTemperatureCurve(curve, kTable, image);
    EXPECT_EQ(kTable[81], 142);
    EXPECT_EQ(kTable[82], 142);
    EXPECT_EQ(image[142], 105);
}

TEST(ProfileImage, FixedAndSettingsBytes)
{
    ControlProfile p;
    p.softwareNumber = QStringLiteral("01234");
    p.versionNumber = QStringLiteral("3");
    p.speedCap = QStringLiteral("3000");
    p.alarmActiveState = QStringLiteral("High");
    p.invertPwmOutput = QStringLiteral("Enabled");
    p.multipoint = true;
    const ProfileImage image = Build(p, 70);
    const std::uint8_t expected[] = {0x30, 0x31, 0x32, 0x33, 0x34, 0x03};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image[258 + i], expected[i]) << i;
    EXPECT_EQ(image[256], 0);
    EXPECT_EQ(image[257], 2);
    EXPECT_EQ(image[264], 0x02 | 0x04 | 0x08 | 0x10);
    EXPECT_EQ(image[265], 1);
    EXPECT_EQ(image[268], 0x09);
    EXPECT_EQ(image[269], 0x07);
    EXPECT_EQ(image[270], 0x01);
    EXPECT_EQ(image[271], 0x02);
    EXPECT_EQ(image[276], 1);
    EXPECT_EQ(image[278], 3);
    for (int i = 279; i < 320; ++i)
        EXPECT_EQ(image[i], 0) << i;

    p.speedCap = QStringLiteral("N/A");
    p.softwareNumber = QStringLiteral("42"); // shorter: padded as the field pads it
    const ProfileImage plain = Build(p);
    EXPECT_EQ(plain[264] & 0x10, 0);
    EXPECT_EQ(plain[278], 0);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(&plain[258]), 5), QByteArray("00042"));
}

TEST(ProfileImage, FanSpeedBottomBandBytes)
{
    const std::pair<const char *, int> cases[] = {{"30", 76}, {"25", 63}, {"100", 255}, {"0", 0}};
    for (const auto &[text, level] : cases) {
        ControlProfile p;
        p.fanSpeedBottomBand = QString::fromUtf8(text);
        EXPECT_EQ(Build(p)[277], level) << text;
    }
}

TEST(ProfileImage, TemperatureAlarmCodesAndTheirDecodes)
{
    struct Case
    {
        const char *high;
        int code;
        const char *decoded;
    };
    const Case highs[] = {{"N/A", 5, "N/A"}, {"64", 42, "64"}, {"65", 41, "65"}, {"84", 23, "83"}, {"115", 8, "115"}};
    for (const Case &c : highs) {
        ControlProfile p;
        p.highAlarm = QString::fromUtf8(c.high);
        const ProfileImage image = Build(p);
        EXPECT_EQ(image[272], c.code) << c.high;
        EXPECT_EQ(DecodeProfileImage(image.data(), false, kTable).fields.highAlarm, QString::fromUtf8(c.decoded))
            << c.high;
    }
    const Case lows[] = {{"N/A", 249, "N/A"}, {"-1", 199, "-1"}, {"-25", 238, "-24"}, {"-35", 246, "-35"}};
    for (const Case &c : lows) {
        ControlProfile p;
        p.lowAlarm = QString::fromUtf8(c.high);
        const ProfileImage image = Build(p);
        EXPECT_EQ(image[273], c.code) << c.high;
        EXPECT_EQ(DecodeProfileImage(image.data(), false, kTable).fields.lowAlarm, QString::fromUtf8(c.decoded))
            << c.high;
    }
}

TEST(ProfileImage, EveryWholeTemperatureToSixtyThreeRoundTrips)
{
    for (int t = 0; t <= 63; ++t) {
        ControlProfile p;
        p.lowShutOff = p.highAlarm = p.lowAlarm = QString::number(t);
        p.bottomBand = QString::number(std::min(t + 1, 62));
        const DecodedProfile d = RoundTrip(p);
        EXPECT_EQ(d.fields.lowShutOff, QString::number(t)) << t;
        EXPECT_EQ(d.fields.highAlarm, QString::number(t)) << t;
        EXPECT_EQ(d.fields.lowAlarm, QString::number(t)) << t;
    }
}

TEST(ProfileImage, VoltageForm)
{
    ControlProfile p = Voltage();
    ProfileImage image = Build(p);
    EXPECT_EQ(image[272], 0);
    EXPECT_EQ(image[273], 250);
    EXPECT_EQ(image[275], 51);
    EXPECT_EQ(image[266], 4);
    EXPECT_EQ(image[274], 102);
    EXPECT_EQ(image[264] & 0x01, 0x01);
    DecodedProfile d = DecodeProfileImage(image.data(), false, kTable);
    EXPECT_EQ(d.fields.highAlarm, QStringLiteral("N/A"));
    EXPECT_EQ(d.fields.lowAlarm, QStringLiteral("N/A"));
    EXPECT_EQ(d.fields.lowShutOff, QStringLiteral("2"));
    EXPECT_EQ(d.fields.bottomBand, QStringLiteral("4"));
    EXPECT_EQ(d.fields.inputControlType, QStringLiteral("Voltage"));
    EXPECT_EQ(d.inputControlType, 1);

    const std::tuple<const char *, const char *, int, int> alarms[] = {{"1", "3", 25, 75}, {"10", "10", 250, 250}};
    for (const auto &[high, low, highCode, lowCode] : alarms) {
        p.highAlarm = QString::fromUtf8(high);
        p.lowAlarm = QString::fromUtf8(low);
        image = Build(p);
        EXPECT_EQ(image[272], highCode);
        EXPECT_EQ(image[273], lowCode);
        d = DecodeProfileImage(image.data(), false, kTable);
        EXPECT_EQ(d.fields.highAlarm, QString::fromUtf8(high));
        EXPECT_EQ(d.fields.lowAlarm, lowCode == 250 ? QStringLiteral("N/A") : QString::fromUtf8(low));
    }
    p.bottomBand = QStringLiteral("4.7"); // the band fields refuse fractions, the encoder truncates
    EXPECT_EQ(Build(p)[266], 4);
}

TEST(ProfileImage, DecodedCurveFieldsAndLists)
{
    ControlProfile p;
    p.outputControlType = QStringLiteral("Voltage");
    p.tachoDependentAlarm = QStringLiteral("Disabled");
    p.speedCap = QStringLiteral("2000");
    FanCurve fan;
    fan.LoadDefault();
    const ProfileImage image = BuildProfileImage(p, fan.curveFan, kTable);
    const DecodedProfile d = DecodeProfileImage(image.data(), false, kTable);
    EXPECT_EQ(d.outputControlType, 1);
    EXPECT_EQ(d.tachoDependentAlarm, 1);
    EXPECT_EQ(d.alarmActiveState, 1);
    EXPECT_EQ(d.speedCap, 2);
    EXPECT_EQ(d.fields.fanSpeedBottomBand, QStringLiteral("30"));
    EXPECT_EQ(d.fields.fanSpeedTopBand, QStringLiteral("90"));
    EXPECT_EQ(d.fields.softwareNumber, QStringLiteral("00001"));
    EXPECT_EQ(d.curveFan[255], d.curveFan[254]);
    EXPECT_EQ(d.curveFan[230], 90);
    EXPECT_EQ(d.curveFan[20], 0);
    EXPECT_EQ(d.shutOffStep, (std::vector<QPointF>{{41, 0}, {41, 30}, {101, 30}}));
}

TEST(ProfileImage, MultipointDecodesDifferAfterUploadAndFromFile)
{
    ControlProfile p;
    p.multipoint = true;
    const ProfileImage image = Build(p, 60);
    const DecodedProfile file = DecodeProfileImage(image.data(), false, kTable);
    const DecodedProfile upload = DecodeProfileImage(image.data(), true, kTable);
    for (const DecodedProfile *d : {&file, &upload}) {
        EXPECT_TRUE(d->fields.multipoint);
        EXPECT_EQ(d->fields.topBand, QStringLiteral("N/A"));
        EXPECT_EQ(d->fields.lowShutOff, QStringLiteral("N/A"));
        EXPECT_TRUE(d->shutOffStep.empty());
    }
    EXPECT_TRUE(file.definedPoints.empty());
    EXPECT_EQ(upload.definedPoints, (std::vector<int>{0, 101, 201, 255}));
    EXPECT_EQ(upload.bottomBandIndex, 101);
    EXPECT_EQ(upload.topBandIndex, 201);
}

TEST(ProfileImage, AnyBytesDecodeWithinBounds)
{
    // Extreme and unknown codes everywhere: no read outside the image or the table.
    for (int fill : {0x00, 0xFF, 0xC8, 0x07, 0xF7}) {
        std::array<std::uint8_t, kFileImageSize> image{};
        image.fill(static_cast<std::uint8_t>(fill));
        for (int flags : {0x00, 0x01}) {
            image[264] = static_cast<std::uint8_t>(flags);
            for (bool upload : {false, true}) {
                const DecodedProfile d = DecodeProfileImage(image.data(), upload, kTable);
                for (int index : d.definedPoints)
                    EXPECT_TRUE(index >= 0 && index < 256);
            }
        }
    }
    // A code no entry holds decodes to the nearest calibrated temperature.
    EXPECT_EQ(FindTemperatureIndex(kTable, 200, 308), 308); // 201 at index 308 is nearest
    EXPECT_EQ(FindTemperatureIndex(kTable, 3, 256), 306);   // 8 at 115 degC
}

TEST(ProfileImage, ReadRealTakesTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(ReadReal(QStringLiteral("2.5V")), 2.5);
    EXPECT_DOUBLE_EQ(ReadReal(QStringLiteral(" -3e1")), -30);
    EXPECT_DOUBLE_EQ(ReadReal(QStringLiteral("N/A")), 0);
    EXPECT_DOUBLE_EQ(ReadReal(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(ReadReal(QStringLiteral("1e999")), 0);
}
