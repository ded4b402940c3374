// Pictures from the Cover Art Archive or from the person's own file: any bytes.

#include "fuzz_check.h"

#include "app/cover_picture.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto picture = ReadCoverPicture(bytes, &why);
    if (!picture) {
        FUZZ_CHECK(!why.empty());
        return 0;
    }
    // A picture is the bytes given, of one of the two kinds, with a sane header.
    FUZZ_CHECK(picture->bytes == bytes);
    FUZZ_CHECK(picture->mime == "image/jpeg" || picture->mime == "image/png");
    FUZZ_CHECK(picture->Extension() == (picture->mime == "image/png" ? ".png" : ".jpg"));
    FUZZ_CHECK(picture->width >= 0 && picture->height >= 0 && picture->depth >= 0);
    FUZZ_CHECK(!CoverPictureSummary(*picture).empty());
    return 0;
}
