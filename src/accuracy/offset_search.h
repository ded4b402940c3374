#pragma once

#include "accuracy/dbar_file.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tesslow {

// One audio track the search may read.
struct OffsetSearchTrack {
    std::int32_t start = 0;   // its first sector
    std::int32_t length = 0;  // sectors
    std::size_t entry = 0;    // its position in the database's responses (AccurateRipEntries)
};

// What the search found.
struct OffsetSearchResult {
    std::optional<std::int32_t> offset;  // the read offset correction, in samples
    int agreeingTracks = 0;  // tracks whose frame-450 sum matched the database at that offset
    int comparedTracks = 0;  // tracks whose frame-450 sum could be compared at all
    int confidence = 0;      // the lowest confidence of the matched entries
};

// Reads `count` raw sectors from `lba` with one drive command, exactly as the
// drive delivers them; false when the drive did not.
using RawSectorRead = std::function<bool(std::int32_t lba, std::int32_t count, std::uint8_t* out)>;

// Finds the drive's read offset from the database's frame-450 sums: for each
// track long enough, reads the sectors around its sector 450 in one command
// and slides a window of one sector over them, one sample at a time, taking
// the sum at every candidate offset (in constant time per step) and comparing
// it with the track's entries of usable confidence. First within 2 sectors
// either way, then, when that finds nothing, within 10 (kLargestReadOffset).
//
// A track votes for each offset it matches at (one per pressing of the disc
// in the database), unless it matches at more than four (silence, or a
// repeating signal). The offset taken is the one with the most tracks, then
// the most confidence summed over them, when at least two tracks agree and no
// other offset is as good; pressings that differ only by a shift and are
// equally trusted leave it undecided. The search stops reading once three
// tracks agree, and at `deadline`, judging on what it read by then. `audioEnd` is the first sector after the disc's audio;
// no read goes outside it.
OffsetSearchResult FindReadOffset(const std::vector<DbarResponse>& responses,
                                  const std::vector<OffsetSearchTrack>& tracks, std::int32_t audioEnd,
                                  const RawSectorRead& read, std::chrono::steady_clock::time_point deadline);

}  // namespace tesslow
