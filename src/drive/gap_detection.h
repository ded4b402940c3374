#pragma once

#include "app/disc_record.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tesslow {

class ScsiCommand;

// Where each audio track's gap begins, read from the Q sub-channel.
struct GapDetection {
    bool detected = false;  // false: "gaps not detected"; no pregap is known
    // Per audio track of the record: INDEX 00 sectors before INDEX 01; nothing
    // for a track whose boundary sector holds no position frame.
    std::vector<std::optional<std::int32_t>> pregaps;
    std::vector<bool> preemphasis;       // per audio track: a Q frame of it (its pregap too) has the pre-emphasis bit
    std::uint32_t reads = 0;             // READ CD commands sent
};

// Finds the pregap of every audio track of `disc` by a binary search over the
// sectors before its INDEX 01 for the first one whose Q names the track,
// reading a few sectors with their Q at a time. Frames with a bad CRC are
// dropped, positions sent in binary are accepted, and frames from sectors
// other than the one asked for are placed by their absolute time; each frame
// must agree with the table of contents, and each boundary is confirmed by a
// second read. A track 1 that starts after sector 0 has that much pregap.
// Where the one sector at a boundary carries the catalog number or an ISRC
// instead of a position, that track's pregap is unknown rather than guessed.
//
// The answer is "not detected" (never a guess) when the drive refuses READ CD
// with sub-channel, when its frames contradict each other, when a track takes
// longer than `perTrack`, or when `canceled` answers true.
GapDetection DetectGaps(ScsiCommand& drive, const DiscRecord& disc,
                        std::chrono::milliseconds perTrack = std::chrono::seconds(1),
                        const std::function<bool()>& canceled = {});

}  // namespace tesslow
