#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tesslow {

// `read(lba, count, out)` reads `count` sectors into `out` with one plain
// READ CD and answers whether the drive delivered them.
using PlainRead = std::function<bool(std::int32_t lba, std::int32_t count, std::uint8_t* out)>;

// Sectors the paranoia library delivered that it may not have verified
// properly (next to damage, or at a track's end with nothing readable after
// it), to be confirmed with plain reads of their own.
struct PlainReadCheck {
    std::span<const std::uint8_t> sectors;  // as delivered, whole sectors from `lba`
    std::int32_t lba = 0;
    // Verified audio right before them (whole sectors, may be empty). A drive
    // may land a little early or late: each read is aligned on it, within one
    // sector either way. Without it, or when it is silence (no shift can be
    // told), a read must agree as it lies.
    std::span<const std::uint8_t> anchor;
    std::int32_t firstReadable = 0;  // no read starts before this LBA
    std::int32_t readEnd = 0;        // no read reaches this LBA; at least the sectors' end
    int attempts = 8;
    // Reads to keep aligning on the anchor after every sector is confirmed,
    // to see whether the drive lands true.
    int alignedReadsWanted = 1;
};

struct PlainReadVerdict {
    std::vector<bool> confirmed;  // per sector: a read agreed with all of it
    int alignedReads = 0;         // reads from different starts whose shift the anchor told
    bool landedOff = false;       // a read was aligned at a shift other than none: the drive jitters
};

// Each attempt reads up to readEnd from another start: the anchor's first
// sector, then earlier ones (never before firstReadable), then ones inside
// the anchor, so that the drive lands anew; a read that fails confirms
// nothing. A read's shift is the
// one at which it agrees with all of the anchor it covers (at least a
// sector's worth). A sector is confirmed when one read, at its shift, agrees
// with every sample of it. Stops once every sector is confirmed and enough
// reads were aligned, or after the last attempt.
PlainReadVerdict CheckWithPlainReads(const PlainReadCheck& check, const PlainRead& read);

}  // namespace tesslow
