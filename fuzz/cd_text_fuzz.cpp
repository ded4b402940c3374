// A READ TOC format 5 answer (CD-Text packs) as a drive or a disc image gives it.

#include "drive/cd_text.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tesslow::ParseCdText(std::span<const std::uint8_t>(data, size));
    return 0;
}
