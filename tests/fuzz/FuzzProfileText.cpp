// Fuzz target: profile text as orvexctl encode reads it.
#include "BandCurve.h"
#include "EntryRules.h"
#include "ProfileCodec.h"
#include "ProfileText.h"

#include <cstdint>

// What `orvexctl encode` does with a text, short of writing the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const TemperatureCodeTable table;
    ParsedProfileText parsed =
        ParseProfileText(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!parsed.error.isEmpty() || ApplyEntryRules(parsed.profile) || CheckSaveable(parsed.profile))
        return 0;
    FanCurve curve;
    if (parsed.curveFan)
        curve.curveFan = *parsed.curveFan;
    else
        RebuildBandCurve(curve, parsed.profile);
    const ProfileImage image = BuildProfileImage(parsed.profile, curve.curveFan, table);
    DecodeProfileImage(image.data(), false, table); // what decode would print of the file
    return 0;
}
