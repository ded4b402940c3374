#include "accuracy/accuraterip_id.h"

#include "app/raw_toc.h"

#include <cstdio>

namespace tesslow {

namespace {

std::uint32_t DigitSum(std::uint32_t n)
{
    std::uint32_t sum = 0;
    for (; n > 0; n /= 10) sum += n % 10;
    return sum;
}

}  // namespace

std::string AccurateRipId::Text() const
{
    char text[40];
    std::snprintf(text, sizeof text, "%03d-%08x-%08x-%08x", audioTracks, id1, id2, freedb);
    return text;
}

std::string AccurateRipId::DbarPath() const
{
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", id1);
    return std::string("/accuraterip/") + hex[7] + '/' + hex[6] + '/' + hex[5] + "/dBAR-" + Text() + ".bin";
}

std::optional<AccurateRipId> AccurateRipIdOf(std::span<const std::uint8_t> rawToc)
{
    const std::vector<TocDescriptor> descriptors = DecodeRawToc(rawToc);
    if (descriptors.empty() || !descriptors.back().LeadOut()) return std::nullopt;
    const auto leadOut = static_cast<std::uint32_t>(descriptors.back().start);

    AccurateRipId id;
    std::uint32_t digits = 0;
    std::uint32_t tracks = 0;
    for (std::size_t i = 0; i + 1 < descriptors.size(); ++i) {
        const TocDescriptor& track = descriptors[i];
        const auto start = static_cast<std::uint32_t>(track.start);
        digits += DigitSum((start + kLbaOrigin) / 75);
        ++tracks;
        if (track.Data()) continue;
        ++id.audioTracks;
        id.id1 += start;
        id.id2 += (start > 0 ? start : 1) * static_cast<std::uint32_t>(id.audioTracks);
    }
    if (id.audioTracks == 0) return std::nullopt;
    id.id1 += leadOut;
    id.id2 += leadOut * static_cast<std::uint32_t>(id.audioTracks + 1);
    const std::uint32_t firstSecond = (static_cast<std::uint32_t>(descriptors.front().start) + kLbaOrigin) / 75;
    const std::uint32_t seconds = (leadOut + kLbaOrigin) / 75 - firstSecond;
    id.freedb = ((digits % 255) << 24) | (seconds << 8) | (tracks & 0xFF);
    return id;
}

std::vector<std::size_t> AccurateRipEntries(std::span<const std::uint8_t> rawToc)
{
    const std::vector<TocDescriptor> descriptors = DecodeRawToc(rawToc);
    std::vector<std::size_t> entries;
    for (std::size_t i = 0; i + 1 < descriptors.size(); ++i)
        if (!descriptors[i].Data()) entries.push_back(i);
    return entries;
}

}  // namespace tesslow
