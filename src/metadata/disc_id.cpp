#include "metadata/disc_id.h"

#include "app/raw_toc.h"

#include <discid/discid.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tesslow {

namespace {

constexpr const char* kDiscIdError = "Internal error #1593.";

}  // namespace

DiscIdToc DiscIdTocFromRawToc(std::span<const std::uint8_t> rawToc)
{
    const std::vector<TocDescriptor> descriptors = DecodeRawToc(rawToc);
    if (descriptors.empty() || !descriptors.back().LeadOut()) throw std::runtime_error(kDiscIdError);

    DiscIdToc toc;
    std::optional<std::size_t> lastAudio;
    for (std::size_t i = 0; i + 1 < descriptors.size(); ++i) {
        const TocDescriptor& d = descriptors[i];
        if (d.number < 1 || d.number > 99) throw std::runtime_error(kDiscIdError);
        toc.offsets[d.number] = d.start + kLbaOrigin;
        toc.lastTrack = d.number;
        if (!d.Data()) lastAudio = i;
    }
    toc.offsets[0] = descriptors.back().start + kLbaOrigin;

    // Data tracks after the last audio track belong to a later session when
    // the session gap fits before them; a data track closer to the audio is in
    // the same session and counts like any other track.
    const std::size_t trackCount = descriptors.size() - 1;
    if (lastAudio && *lastAudio + 1 < trackCount &&
        descriptors[*lastAudio + 1].start - kSessionGapSectors > descriptors[*lastAudio].start) {
        const TocDescriptor& firstTrailingData = descriptors[*lastAudio + 1];
        for (std::size_t i = *lastAudio + 1; i < trackCount; ++i) toc.offsets[descriptors[i].number] = 0;
        toc.lastTrack = descriptors[*lastAudio].number;
        toc.offsets[0] = firstTrailingData.start + kLbaOrigin - kSessionGapSectors;
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
