// Fuzz target: profile images as files open them.
#include "ProfileCodec.h"

#include <algorithm>
#include <cstdint>

// Any 0 to 512 bytes, as a file opens: the rest of the buffer is zeros.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const TemperatureCodeTable table;
    if (size > kFileImageSize)
        return 0;
    std::array<std::uint8_t, kFileImageSize> image{};
    std::copy(data, data + size, image.begin());
    for (bool upload : {false, true}) {
        const DecodedProfile decoded = DecodeProfileImage(image.data(), upload, table);
        // and what the window would save of it decodes again
        const ProfileImage again = BuildProfileImage(decoded.fields, decoded.curveFan, table);
        DecodeProfileImage(again.data(), upload, table);
    }
    return 0;
}
