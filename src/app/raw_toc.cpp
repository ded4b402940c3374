#include "app/raw_toc.h"

#include <algorithm>

namespace tesslow {

std::vector<TocDescriptor> DecodeRawToc(std::span<const std::uint8_t> rawToc)
{
    std::vector<TocDescriptor> descriptors;
    if (rawToc.size() < 4) return descriptors;
    const std::size_t declared = (std::size_t{rawToc[0]} << 8 | rawToc[1]) + 2;
    const std::size_t end = std::min(rawToc.size(), declared);
    for (std::size_t at = 4; at + 8 <= end; at += 8) {
        const std::uint8_t* d = rawToc.data() + at;
        const std::uint32_t lba = std::uint32_t{d[4]} << 24 | std::uint32_t{d[5]} << 16 | std::uint32_t{d[6]} << 8 | d[7];
        descriptors.push_back({d[1], d[2], static_cast<std::int32_t>(lba)});
        if (descriptors.back().LeadOut()) break;
    }
    return descriptors;
}

bool PreEmphasised(std::span<const TocDescriptor> toc, int number)
{
    for (const TocDescriptor& descriptor : toc)
        if (descriptor.number == number) return (descriptor.control & 0x01) != 0;
    return false;
}

}  // namespace tesslow
