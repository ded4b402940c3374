#include "support/accuraterip_data.h"

#include <zlib.h>

#include <cstring>

namespace tesslow::test {

TrackSums SumsOf(const std::string& audio, bool first, bool last)
{
    TrackSums sums;
    std::uint32_t high = 0;
    const std::uint64_t samples = audio.size() / 4;
    auto word = [&](std::uint64_t k) {
        std::uint32_t sample;
        std::memcpy(&sample, &audio[k * 4], 4);
        return sample;
    };
    for (std::uint64_t m = 1; m <= samples; ++m) {
        if ((first && m < 2940) || (last && m > samples - 2940)) continue;
        const std::uint64_t product = std::uint64_t{word(m - 1)} * m;
        sums.v1 += static_cast<std::uint32_t>(product);
        high += static_cast<std::uint32_t>(product >> 32);
    }
    sums.v2 = sums.v1 + high;
    if (samples >= 451 * 588)
        for (std::uint32_t j = 0; j < 588; ++j) sums.frame450 += word(450 * 588 + j) * (j + 1);
    sums.crc32 = static_cast<std::uint32_t>(
        ::crc32(::crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(audio.data()), static_cast<uInt>(audio.size())));
    return sums;
}

std::string DbarResponse(const std::string& id, const std::vector<DbarEntry>& entries, bool foreignIds)
{
    std::string bytes(1, static_cast<char>(entries.size()));
    auto le32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i));
    };
    le32(static_cast<std::uint32_t>(std::stoul(id.substr(4, 8), nullptr, 16)) + (foreignIds ? 1 : 0));
    le32(static_cast<std::uint32_t>(std::stoul(id.substr(13, 8), nullptr, 16)));
    le32(static_cast<std::uint32_t>(std::stoul(id.substr(22, 8), nullptr, 16)));
    for (const DbarEntry& entry : entries) {
        bytes += static_cast<char>(entry.confidence);
        le32(entry.crc);
        le32(entry.frame450);
    }
    return bytes;
}

std::filesystem::path DbarFixture(const std::filesystem::path& root, const std::string& id)
{
    return root / "accuraterip" / id.substr(11, 1) / id.substr(10, 1) / id.substr(9, 1) / ("dBAR-" + id + ".bin.xml");
}

}  // namespace tesslow::test
