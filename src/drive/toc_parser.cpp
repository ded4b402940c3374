#include "drive/toc_parser.h"

#include "app/disc_record.h"
#include "drive/mmc.h"

#include <algorithm>

namespace tesslow {

namespace {

struct Descriptor {
    std::uint8_t control = 0;
    std::uint8_t number = 0;
    std::int32_t start = 0;
};

std::vector<Descriptor> Descriptors(const std::vector<std::uint8_t>& rawToc)
{
    std::vector<Descriptor> descriptors;
    if (rawToc.size() < 4) return descriptors;
    const std::size_t total = std::min<std::size_t>(rawToc.size(), ReadBigEndian16(rawToc.data()) + 2);
    for (std::size_t offset = 4; offset + 8 <= total; offset += 8) {
        const std::uint8_t* d = rawToc.data() + offset;
        descriptors.push_back({d[1], d[2], static_cast<std::int32_t>(ReadBigEndian32(d + 4))});
    }
    return descriptors;
}

}  // namespace

bool HasAudioDescriptor(const std::vector<std::uint8_t>& rawToc)
{
    const auto descriptors = Descriptors(rawToc);
    return std::any_of(descriptors.begin(), descriptors.empty() ? descriptors.end() : descriptors.end() - 1,
                       [](const Descriptor& d) { return (d.control & mmc::kControlDataTrack) == 0; });
}

void ParseToc(const std::vector<std::uint8_t>& rawToc, const SessionInfo& sessions, DiscRecord& record)
{
    record.trackNumbers.clear();
    record.tracks.clear();
    record.leadOut = 0;
    const auto descriptors = Descriptors(rawToc);
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        const Descriptor& d = descriptors[i];
        if (d.number == mmc::kLeadOutTrack) {
            record.leadOut = d.start;
            continue;
        }
        if (d.control & mmc::kControlDataTrack) continue;
        std::int32_t length = 0;
        if (i + 1 < descriptors.size()) {
            const Descriptor& next = descriptors[i + 1];
            length = next.start - d.start;
            if (sessions.MultiSession() && next.number == sessions.firstTrackOfLastSession &&
                next.start - kSessionGapSectors > d.start)
                length = next.start - kSessionGapSectors - d.start;
        }
        record.trackNumbers.push_back(d.number);
        record.tracks.push_back({d.start, length});
    }
}

}  // namespace tesslow
