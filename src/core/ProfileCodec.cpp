// The profile image: encoding the fields and the curve, and decoding them back.
#include "ProfileCodec.h"

#include "BandCurve.h"
#include "EntryRules.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
using namespace ImageLayout;

std::uint8_t LowByte(long long value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Entry of the code table; an index outside it takes the nearest end, so a bad entry can never
// read past the table.
std::uint8_t TableEntry(const TemperatureCodeTable &table, long long index)
{
    return table[static_cast<int>(std::clamp<long long>(index, 0, TemperatureCodeTable::kSize - 1))];
}

// Quarter-degree index of a temperature entry, n - 1 where n = T / 10 x 40 + 1 in single precision.
long long QuarterIndexTruncated(float celsius)
{
    return static_cast<long long>(celsius / 10.0f * 40.0f + 1.0f) - 1;
}

float ReadRealF(const QString &text)
{
    return static_cast<float>(ReadReal(text));
}

int RoundF(float value)
{
    return RoundHalfAwayF(value);
}

QString Decimal(long long value)
{
    return QString::number(value);
}
} // namespace

double ReadReal(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(0).trimmed().toDouble();
    return std::isfinite(value) ? value : 0;
}

void EncodeTemperatureCurve(const std::array<double, FanCurve::kPoints> &curveFan, const TemperatureCodeTable &table,
                            ProfileImage &image)
{
    std::array<int, 256> level{};
    // Steps sharing a code: the last, warmest one wins.
    for (int j = 0; j < FanCurve::kPoints - 1; ++j)
        level[table[j]] = static_cast<int>(std::trunc(curveFan[j]));
    for (int c = 0; c < 256; ++c)
        image[c] = LowByte(std::lround(level[c] * 2.55));
}

void EncodeLimits(const ControlProfile &p, const TemperatureCodeTable &table, ProfileImage &image)
{
    const bool temperature = p.Kind() == InputKind::Temperature;

    if (p.lowShutOff == kAlwaysOn)
        image[kLowShutOff] = 255;
    else if (p.lowShutOff == kNotUsed)
        image[kLowShutOff] = 254;
    else if (temperature)
        image[kLowShutOff] = TableEntry(table, RoundF(ReadRealF(p.lowShutOff) / 10.0f * 40.0f + 1.0f) - 1);
    else
        image[kLowShutOff] = LowByte(std::lround(ReadReal(p.lowShutOff) * 25.5));

    const float bottom = ReadRealF(p.bottomBand);
    image[kBottomBandWhole] = LowByte(static_cast<long long>(bottom));
    if (temperature)
        image[kBottomBandCode] = TableEntry(table, QuarterIndexTruncated(bottom));
    else
        image[kBottomBandCode] = LowByte(static_cast<long long>(bottom * 25.5));

    const float fanBottom = ReadRealF(p.fanSpeedBottomBand);
    image[kFanSpeedBottomBand] = LowByte(static_cast<long long>(static_cast<float>(fanBottom * 2.55)));

    image[kTopBandWhole] = LowByte(static_cast<long long>(ReadRealF(p.topBand)));

    if (temperature) {
        if (p.highAlarm == kNotUsed) {
            image[kHighAlarm] = 5;
        } else {
            const double v = ReadReal(p.highAlarm);
            if (v > 63)
                image[kHighAlarm] = TableEntry(table, 191 + static_cast<long long>(v));
            else
                image[kHighAlarm] = TableEntry(table, QuarterIndexTruncated(static_cast<float>(v)));
        }
        if (p.lowAlarm == kNotUsed) {
            image[kLowAlarm] = 249;
        } else {
            const float v = ReadRealF(p.lowAlarm);
            if (v < 0)
                image[kLowAlarm] = TableEntry(table, 306 - static_cast<long long>(ReadNumber(p.lowAlarm)));
            else
                image[kLowAlarm] = TableEntry(table, QuarterIndexTruncated(v));
        }
    } else {
        const double high = p.highAlarm == kNotUsed ? 0 : ReadReal(p.highAlarm);
        image[kHighAlarm] = LowByte(static_cast<long long>(static_cast<float>(high * 25)));
        const float low = p.lowAlarm == kNotUsed ? 10.0f : ReadRealF(p.lowAlarm);
        image[kLowAlarm] = LowByte(static_cast<long long>(low * 25.0f));
    }
}

void EncodeSettings(const ControlProfile &p, ProfileImage &image)
{
    image[kFixed257] = 2;

    // Five ASCII digits; a shorter text is padded the way the field pads it when left.
    QString number = p.softwareNumber;
    if (number.size() < 5)
        number = QStringLiteral("%1").arg(std::clamp(ReadNumber(number), 0, 99999), 5, 10, QLatin1Char('0'));
    const QByteArray ascii = number.left(5).toLatin1();
    for (int i = 0; i < 5; ++i)
        image[kSoftwareNumber + i] = static_cast<std::uint8_t>(ascii[i]);

    // The field keeps it within a byte; a text from elsewhere is held there rather than wrapped.
    image[kVersionNumber] = static_cast<std::uint8_t>(std::clamp(ReadNumber(p.versionNumber), 0, 255));

    int flags = 0;
    if (p.Kind() == InputKind::Voltage)
        flags |= kFlagVoltage;
    if (p.outputControlType == QStringLiteral("Open Collector"))
        flags |= kFlagOpenCollector;
    if (p.tachoDependentAlarm == QStringLiteral("Enabled"))
        flags |= kFlagTacho;
    if (p.alarmActiveState == QStringLiteral("High"))
        flags |= kFlagActiveHigh;
    if (p.speedCap != kNotUsed) {
        flags |= kFlagSpeedCap;
        const int rpm = ReadNumber(p.speedCap);
        image[kSpeedCap] = rpm == 1000 ? 1 : rpm == 2000 ? 2 : rpm == 3000 ? 3 : rpm == 4000 ? 4 : 0;
    } else {
        image[kSpeedCap] = 0;
    }
    image[kSettingsFlags] = static_cast<std::uint8_t>(flags);
    image[kMultipoint] = p.multipoint ? 1 : 0;
    image[kFixed268] = 0x09;
    image[kFixed268 + 1] = 0x07;
    image[kFixed268 + 2] = 0x01;
    image[kFixed268 + 3] = 0x02;
    image[kInvertPwm] = p.invertPwmOutput == QStringLiteral("Enabled") ? 1 : 0;
}

ProfileImage BuildProfileImage(const ControlProfile &profile, const std::array<double, FanCurve::kPoints> &curveFan,
                               const TemperatureCodeTable &table)
{
    ProfileImage image{};
    if (profile.Kind() == InputKind::Temperature) {
        EncodeTemperatureCurve(curveFan, table, image);
    } else {
        for (int i = 0; i < FanCurve::kPoints; ++i)
            image[i] = LowByte(std::lround(curveFan[i] * 2.55));
    }
    EncodeLimits(profile, table, image);
    EncodeSettings(profile, image);
    return image;
}

int FindTemperatureIndex(const TemperatureCodeTable &table, int code, int start)
{
    if (const auto found = table.Find(code, start))
        return *found;
    int best = start;
    int bestDistance = 1 << 30;
    for (int k = start; k < TemperatureCodeTable::kSize; ++k) {
        const int distance = std::abs(table[k] - code);
        if (distance < bestDistance) {
            best = k;
            bestDistance = distance;
        }
    }
    return best;
}

namespace {
// The fan speeds of a band profile where the image keeps them exactly: the bottom one in its own
// byte (the table may give the bottom band's code to a warmer step, whose speed the curve then
// shows there) and the top one on the curve at the top band (a voltage read one entry lower lands
// on the slope). Taken only when the image is the band curve those speeds make, so that opening
// and saving a band profile gives back the very file, and any other image decodes as it always has.
void TakeStoredBandSpeeds(const std::uint8_t *image, const TemperatureCodeTable &table, DecodedProfile &d)
{
    ControlProfile &f = d.fields;
    const int bottom = BandIndex(f.bottomBand, f.Kind());
    const int top = BandIndex(f.topBand, f.Kind());
    if (f.multipoint || bottom < 1 || bottom >= top || top >= FanCurve::kPoints)
        return;
    ControlProfile stored = f;
    stored.fanSpeedBottomBand = Decimal(RoundF(static_cast<float>(image[kFanSpeedBottomBand] / 2.55)));
    stored.fanSpeedTopBand = Decimal(static_cast<int>(d.curveFan[top]));
    if (stored.fanSpeedBottomBand == f.fanSpeedBottomBand && stored.fanSpeedTopBand == f.fanSpeedTopBand)
        return;
    FanCurve band;
    RebuildBandCurve(band, stored);
    const ProfileImage rebuilt = BuildProfileImage(stored, band.curveFan, table);
    // Entry 0 may keep a bottom speed typed before its band; the rest must be the band curve.
    if (!std::equal(rebuilt.begin() + 1, rebuilt.begin() + FanCurve::kPoints, image + 1) ||
        rebuilt[kFanSpeedBottomBand] != image[kFanSpeedBottomBand])
        return;
    f.fanSpeedBottomBand = stored.fanSpeedBottomBand;
    f.fanSpeedTopBand = stored.fanSpeedTopBand;
    // The step is drawn at the speed shown.
    if (!d.shutOffStep.empty()) {
        const double fan = ReadNumber(f.fanSpeedBottomBand);
        d.shutOffStep[1].setY(fan);
        d.shutOffStep[2].setY(fan);
    }
}
} // namespace

DecodedProfile DecodeProfileImage(const std::uint8_t *image, bool fromUpload, const TemperatureCodeTable &table)
{
    DecodedProfile d;
    ControlProfile &f = d.fields;

    QString software;
    for (int i = 0; i < 5 && image[kSoftwareNumber + i] != 0; ++i)
        software += QChar::fromLatin1(static_cast<char>(image[kSoftwareNumber + i]));
    f.softwareNumber = software;
    f.versionNumber = Decimal(image[kVersionNumber]);

    const int flags = image[kSettingsFlags];
    d.voltage = flags & kFlagVoltage;
    d.inputControlType = d.voltage ? 1 : 0;
    f.inputControlType = OptionLists::inputControlType[d.inputControlType];

    const int quarterStart = 1;
    const int wholeStart = 256;
    const int negativeStart = 308;
    auto quarterDegrees = [&](int code) {
        return Decimal(RoundF((FindTemperatureIndex(table, code, quarterStart) - 1) * 0.25f));
    };

    const int high = image[kHighAlarm];
    const int low = image[kLowAlarm];
    const int shut = image[kLowShutOff];
    const int bottomWhole = image[kBottomBandWhole];
    const int topWhole = image[kTopBandWhole];
    if (d.voltage) {
        f.highAlarm = high / 25 == 0 ? kNotUsed : Decimal(high / 25);
        f.lowAlarm = low / 25 == 10 ? kNotUsed : Decimal(low / 25);
        f.lowShutOff = shut == 255   ? kAlwaysOn
                       : shut == 254 ? kNotUsed
                                     : Decimal(RoundF(static_cast<float>(shut / 25.5)));
        // Curve entries lie within 0..255 whatever the stored band says.
        const int bottomEntry = std::clamp(RoundF(static_cast<float>(bottomWhole * 25.5)), 0, 255);
        const int topEntry = std::clamp(RoundF(static_cast<float>(topWhole * 25.5)), 0, 255);
        f.fanSpeedBottomBand = Decimal(RoundF(static_cast<float>(image[bottomEntry] / 2.55)));
        f.fanSpeedTopBand = Decimal(RoundF(static_cast<float>(image[topEntry] / 2.55)));
    } else {
        if (high < 8) {
            f.highAlarm = kNotUsed;
        } else if (high <= 41) {
            f.highAlarm = Decimal(FindTemperatureIndex(table, high, wholeStart) - 191);
            d.highAlarmEnabled = true;
        } else {
            f.highAlarm = quarterDegrees(high);
            d.highAlarmEnabled = true;
        }
        if (low == 249) {
            f.lowAlarm = kNotUsed;
        } else if (low < 199) {
            f.lowAlarm = quarterDegrees(low);
            d.lowAlarmEnabled = true;
        } else if (low == 199) {
            f.lowAlarm = QStringLiteral("-1");
        } else {
            f.lowAlarm = Decimal(306 - FindTemperatureIndex(table, low, negativeStart));
        }
        f.lowShutOff = shut == 255 ? kAlwaysOn : shut == 254 ? kNotUsed : quarterDegrees(shut);
        const int bottomCode = TableEntry(table, RoundF(bottomWhole * 4.0f));
        f.fanSpeedBottomBand = Decimal(RoundF(static_cast<float>(image[bottomCode] / 2.55)));
        const int topCode = TableEntry(table, RoundF(topWhole * 4.0f));
        const int topLevel = image[std::max(topCode - 1, 0)];
        f.fanSpeedTopBand = topLevel == 0 ? QStringLiteral("0") : Decimal(RoundF(static_cast<float>(topLevel / 2.55)));
    }
    f.bottomBand = Decimal(bottomWhole);
    f.topBand = Decimal(topWhole);

    d.outputControlType = (flags & kFlagOpenCollector) ? 0 : 1;
    d.tachoDependentAlarm = (flags & kFlagTacho) ? 0 : 1;
    d.alarmActiveState = (flags & kFlagActiveHigh) ? 0 : 1;
    d.invertPwmOutput = image[kInvertPwm] != 0 ? 1 : 0;
    f.outputControlType = OptionLists::outputControlType[d.outputControlType];
    f.tachoDependentAlarm = OptionLists::tachoDependentAlarm[d.tachoDependentAlarm];
    f.alarmActiveState = OptionLists::alarmActiveState[d.alarmActiveState];
    f.invertPwmOutput = OptionLists::invertPwmOutput[d.invertPwmOutput];

    f.multipoint = image[kMultipoint] != 0;
    if (f.multipoint && fromUpload) {
        auto entry = [&](int whole) {
            return d.voltage ? RoundF(static_cast<float>(whole * 25.5)) : static_cast<int>(std::lround(whole * 4.0));
        };
        const int b = entry(bottomWhole) + 1;
        const int t = entry(topWhole) + 1;
        // Marks past the curve's end have no entry to mark.
        for (int index : {0, b, t, 255}) {
            if (index >= 0 && index < FanCurve::kPoints)
                d.definedPoints.push_back(index);
        }
        d.bottomBandIndex = b < FanCurve::kPoints ? b : 0;
        d.topBandIndex = t < FanCurve::kPoints ? t : 0;
        d.setBandIndices = true;
    }

    const int cap = image[kSpeedCap];
    d.speedCap = cap >= 1 && cap <= 4 ? cap : 0;
    f.speedCap = OptionLists::speedCap[d.speedCap];

    PlotDecodedCurve(image, table, d);
    TakeStoredBandSpeeds(image, table, d);
    return d;
}

void PlotDecodedCurve(const std::uint8_t *image, const TemperatureCodeTable &table, DecodedProfile &d)
{
    ControlProfile &f = d.fields;
    if (f.multipoint) {
        f.fanSpeedTopBand = f.topBand = f.fanSpeedBottomBand = f.bottomBand = f.lowShutOff = kNotUsed;
    }
    if (d.voltage) {
        for (int i = 0; i < FanCurve::kPoints; ++i)
            d.curveFan[i] = static_cast<double>(std::lround(image[i] / 2.55));
    } else {
        for (int i = 0; i < FanCurve::kPoints; ++i)
            d.curveFan[i] = RoundF(static_cast<float>(image[table[i]] / 2.55));
        d.curveFan[255] = d.curveFan[254];
    }

    d.shutOffStep.clear();
    if (!f.multipoint && f.lowShutOff != kNotUsed) {
        const int a = f.lowShutOff == kAlwaysOn ? kAlwaysOnShutOff : ReadNumber(f.lowShutOff);
        const int b = ReadNumber(f.bottomBand);
        const int fan = ReadNumber(f.fanSpeedBottomBand);
        int s;
        int x;
        if (d.voltage) {
            s = RoundF(static_cast<float>(a * 25.5));
            x = RoundF(static_cast<float>(b * 25.5));
        } else {
            s = 4 * a + 1;
            x = 4 * b + 1;
        }
        d.shutOffStep = {QPointF(s, 0), QPointF(s, fan), QPointF(x, fan)};
    }
}
