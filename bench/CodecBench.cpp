// Cost of one profile image: building it from the fields and decoding it back.
#include "FanCurve.h"
#include "ProfileCodec.h"

#include <benchmark/benchmark.h>

namespace {
void EncodeImage(benchmark::State &state)
{
    const TemperatureCodeTable table;
    const ControlProfile profile;
    FanCurve curve;
    curve.LoadDefault();
    ProfileImage image{};
    for (auto _ : state) {
        image = BuildProfileImage(profile, curve.curveFan, table);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(EncodeImage)->Unit(benchmark::kMicrosecond);

void DecodeImage(benchmark::State &state)
{
    const TemperatureCodeTable table;
    FanCurve curve;
    curve.LoadDefault();
    ProfileImage image{};
    image = BuildProfileImage(ControlProfile(), curve.curveFan, table);
    for (auto _ : state) {
        DecodedProfile decoded = DecodeProfileImage(image.data(), false, table);
        benchmark::DoNotOptimize(decoded.curveFan.data());
    }
}
BENCHMARK(DecodeImage)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
