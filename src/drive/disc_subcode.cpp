#include "drive/disc_subcode.h"

#include "app/raw_toc.h"
#include "drive/disc_codes.h"
#include "drive/gap_detection.h"

#include <algorithm>

namespace tesslow {

DiscSubcode ReadDiscSubcode(ScsiCommand& drive, const DiscRecord& disc, bool findGaps,
                            const std::function<bool()>& canceled)
{
    DiscSubcode subcode;
    DiscCodes codes = ReadDiscCodes(drive, disc, canceled);
    subcode.catalog = std::move(codes.catalog);
    subcode.isrcs = std::move(codes.isrcs);

    const std::vector<TocDescriptor> toc = DecodeRawToc(disc.rawToc);
    for (const std::uint8_t number : disc.trackNumbers) subcode.preemphasis.push_back(PreEmphasised(toc, number));
    subcode.gapsSearched = findGaps;
    if (findGaps) {
        const GapDetection gaps = DetectGaps(drive, disc, std::chrono::seconds(1), canceled);
        subcode.gapsDetected = gaps.detected;
        if (gaps.detected) {
            subcode.pregaps = gaps.pregaps;
            for (std::size_t t = 0; t < subcode.preemphasis.size() && t < gaps.preemphasis.size(); ++t)
                if (gaps.preemphasis[t]) subcode.preemphasis[t] = true;
        }
    }
    return subcode;
}

std::optional<std::int32_t> PregapOf(const DiscSubcode& subcode, std::size_t track)
{
    return track < subcode.pregaps.size() ? subcode.pregaps[track] : std::nullopt;
}

}  // namespace tesslow
