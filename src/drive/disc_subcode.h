#pragma once

#include "app/disc_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

class ScsiCommand;

// What the disc says about itself beyond its table of contents, per audio
// track of its record.
struct DiscSubcode {
    bool gapsSearched = false;                         // gap detection was asked for
    bool gapsDetected = false;                         // false: "gaps not detected"
    std::vector<std::optional<std::int32_t>> pregaps;  // sectors of INDEX 00 per track, when known
    std::string catalog;                               // MCN, 13 digits, or empty
    std::vector<std::string> isrcs;                    // empty where a track has none
    std::vector<bool> preemphasis;                     // the TOC's control bit, or a Q frame's
};

// Reads the catalog number and ISRCs, the pre-emphasis flags, and with
// `findGaps` the pregaps (see gap_detection.h). Slow on some drives: called
// off the interactive path.
DiscSubcode ReadDiscSubcode(ScsiCommand& drive, const DiscRecord& disc, bool findGaps,
                            const std::function<bool()>& canceled = {});

// A track's pregap when known.
std::optional<std::int32_t> PregapOf(const DiscSubcode& subcode, std::size_t track);

}  // namespace tesslow
