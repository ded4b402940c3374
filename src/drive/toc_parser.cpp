#include "drive/toc_parser.h"

#include "app/disc_record.h"
#include "app/raw_toc.h"

#include <algorithm>

namespace tesslow {

bool HasAudioDescriptor(const std::vector<std::uint8_t>& rawToc)
{
    const auto descriptors = DecodeRawToc(rawToc);
    return std::any_of(descriptors.begin(), descriptors.empty() ? descriptors.end() : descriptors.end() - 1,
                       [](const TocDescriptor& d) { return !d.Data(); });
}

void ParseToc(const std::vector<std::uint8_t>& rawToc, const SessionInfo& sessions, DiscRecord& record)
{
    record.trackNumbers.clear();
    record.tracks.clear();
    record.leadOut = 0;
    const auto descriptors = DecodeRawToc(rawToc);
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        const TocDescriptor& d = descriptors[i];
        if (d.LeadOut()) {
            record.leadOut = d.start;
            continue;
        }
        if (d.Data()) continue;
        std::int32_t length = 0;
        if (i + 1 < descriptors.size()) {
            const TocDescriptor& next = descriptors[i + 1];
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
