// The 320-byte profile image and its codec.
#pragma once

#include "ControlProfile.h"
#include "TemperatureCodeTable.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

// The 320-byte image the controller stores and profile files hold.
inline constexpr int kProfileImageSize = 320;
inline constexpr int kFileImageSize = 512;
using ProfileImage = std::array<std::uint8_t, kProfileImageSize>;

namespace ImageLayout {
inline constexpr int kCurve = 0;
inline constexpr int kFixed257 = 257;
inline constexpr int kSoftwareNumber = 258;
inline constexpr int kVersionNumber = 263;
inline constexpr int kSettingsFlags = 264;
inline constexpr int kMultipoint = 265;
inline constexpr int kBottomBandWhole = 266;
inline constexpr int kTopBandWhole = 267;
inline constexpr int kFixed268 = 268;
inline constexpr int kHighAlarm = 272;
inline constexpr int kLowAlarm = 273;
inline constexpr int kBottomBandCode = 274;
inline constexpr int kLowShutOff = 275;
inline constexpr int kInvertPwm = 276;
inline constexpr int kFanSpeedBottomBand = 277;
inline constexpr int kSpeedCap = 278;
inline constexpr int kFlagVoltage = 0x01;
inline constexpr int kFlagOpenCollector = 0x02;
inline constexpr int kFlagTacho = 0x04;
inline constexpr int kFlagActiveHigh = 0x08;
inline constexpr int kFlagSpeedCap = 0x10;
} // namespace ImageLayout

// A text's leading decimal number with optional fraction and exponent; 0 when there is none.
double ReadReal(const QString &text);

// The image of the field texts and the drawn curve.
ProfileImage BuildProfileImage(const ControlProfile &profile, const std::array<double, FanCurve::kPoints> &curveFan,
                               const TemperatureCodeTable &table);
void EncodeTemperatureCurve(const std::array<double, FanCurve::kPoints> &curveFan, const TemperatureCodeTable &table,
                            ProfileImage &image);
void EncodeLimits(const ControlProfile &profile, const TemperatureCodeTable &table, ProfileImage &image);
void EncodeSettings(const ControlProfile &profile, ProfileImage &image);

// First index from `start` holding `code`; a code no entry holds from there on takes the index
// of the nearest code instead, so any image decodes to the closest calibrated temperature.
int FindTemperatureIndex(const TemperatureCodeTable &table, int code, int start);

// What an image puts back into the window.
struct DecodedProfile
{
    ControlProfile fields;
    // List positions to select (the lists hold the texts above).
    int inputControlType = 0;
    int outputControlType = 0;
    int tachoDependentAlarm = 0;
    int alarmActiveState = 0;
    int invertPwmOutput = 0;
    int speedCap = 0;
    bool voltage = false;
    bool highAlarmEnabled = false; // searched temperatures enable their alarm field
    bool lowAlarmEnabled = false;
    std::array<double, FanCurve::kPoints> curveFan{};
    // After an upload of a multipoint profile: the anchors the controller's table was built from.
    std::vector<int> definedPoints;
    int bottomBandIndex = 0;
    int topBandIndex = 0;
    bool setBandIndices = false;
    std::vector<QPointF> shutOffStep;
};

DecodedProfile DecodeProfileImage(const std::uint8_t *image, bool fromUpload, const TemperatureCodeTable &table);
void PlotDecodedCurve(const std::uint8_t *image, const TemperatureCodeTable &table, DecodedProfile &decoded);
