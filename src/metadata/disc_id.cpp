#include "metadata/disc_id.h"

#include <discid/discid.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tesslow {

namespace {

constexpr const char* kDiscIdError = "Internal error #1593.";
constexpr std::uint8_t kLeadOutTrack = 0xAA;
constexpr std::uint8_t kDataTrackBit = 0x04;
constexpr int kPregap = 150;
// Sectors between the end of a CD-Extra audio session and the start of the
// next session's first track (lead-out, lead-in and pre-gap: 6750 + 4500 + 150).
constexpr int kSessionGap = 11400;

struct Descriptor {
    std::uint8_t track = 0;
    bool data = false;
    std::int32_t lba = 0;
};

std::vector<Descriptor> ReadDescriptors(std::span<const std::uint8_t> rawToc)
{
    std::vector<Descriptor> descriptors;
    for (std::size_t at = 4; at + 8 <= rawToc.size(); at += 8) {
        const std::uint8_t* d = rawToc.data() + at;
        const std::uint32_t lba = (std::uint32_t{d[4]} << 24) | (std::uint32_t{d[5]} << 16) |
                                  (std::uint32_t{d[6]} << 8) | std::uint32_t{d[7]};
        descriptors.push_back({d[2], (d[1] & kDataTrackBit) != 0, static_cast<std::int32_t>(lba)});
        if (d[2] == kLeadOutTrack) break;
    }
    return descriptors;
}

}  // namespace

DiscIdToc DiscIdTocFromRawToc(std::span<const std::uint8_t> rawToc)
{
    const std::vector<Descriptor> descriptors = ReadDescriptors(rawToc);
    if (descriptors.empty() || descriptors.back().track != kLeadOutTrack) throw std::runtime_error(kDiscIdError);

    DiscIdToc toc;
    std::optional<std::size_t> lastAudio;
    for (std::size_t i = 0; i + 1 < descriptors.size(); ++i) {
        const Descriptor& d = descriptors[i];
        if (d.track < 1 || d.track > 99) throw std::runtime_error(kDiscIdError);
        toc.offsets[d.track] = d.lba + kPregap;
        toc.lastTrack = d.track;
        if (!d.data) lastAudio = i;
    }
    toc.offsets[0] = descriptors.back().lba + kPregap;

    // Data tracks after the last audio track belong to a later session when
    // the session gap fits before them; a data track closer to the audio is in
    // the same session and counts like any other track.
    const std::size_t trackCount = descriptors.size() - 1;
    if (lastAudio && *lastAudio + 1 < trackCount &&
        descriptors[*lastAudio + 1].lba - kSessionGap > descriptors[*lastAudio].lba) {
        const Descriptor& firstTrailingData = descriptors[*lastAudio + 1];
        for (std::size_t i = *lastAudio + 1; i < trackCount; ++i) toc.offsets[descriptors[i].track] = 0;
        toc.lastTrack = descriptors[*lastAudio].track;
        toc.offsets[0] = firstTrailingData.lba + kPregap - kSessionGap;
    }
    return toc;
}

std::string ComputeDiscId(const DiscIdToc& toc)
{
    std::unique_ptr<DiscId, void (*)(DiscId*)> disc(discid_new(), discid_free);
    if (!disc) throw std::bad_alloc();
    std::array<int, 100> offsets = toc.offsets;
    if (!discid_put(disc.get(), toc.firstTrack, toc.lastTrack, offsets.data())) throw std::runtime_error(kDiscIdError);
    const char* id = discid_get_id(disc.get());
    if (!id) throw std::runtime_error(kDiscIdError);
    return id;
}

std::string DiscIdFromRawToc(std::span<const std::uint8_t> rawToc) { return ComputeDiscId(DiscIdTocFromRawToc(rawToc)); }

}  // namespace tesslow
