// The controller's thermistor codes for -35 degC to 115 degC.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

// Thermistor codes the controller uses for its temperature settings.
// Index 0..255: i/4 degC; 256..306: (i - 191) degC; 307..341: (306 - i) degC.
class TemperatureCodeTable
{
public:
    static constexpr int kSize = 342;
    static constexpr int kQuarterDegreeEnd = 256; // first whole-degree entry (65 degC)
    static constexpr int kNegativeStart = 307;    // -1 degC

    TemperatureCodeTable();

    std::uint8_t operator[](int index) const { return codes[static_cast<std::size_t>(index)]; }

    // First index at or after `start` holding `code`; none when no entry from there on holds it.
    std::optional<int> Find(int code, int start = 0) const;

    static double TemperatureOfIndex(int index);

private:
    std::array<std::uint8_t, kSize> codes{};
};
