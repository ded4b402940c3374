#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace tesslow {

// Confirms the last sectors of a track that the paranoia library could not
// verify (nothing readable follows them), with plain reads of their own.
//
// `window` holds the track's last sectors as the library delivered them,
// starting at LBA `windowLba`; the last `tailSectors` of them are to be
// confirmed, the sectors before them are verified audio. Each attempt reads
// the window again from a slightly earlier start (never before `firstLba`)
// and looks for the shift, within one sector either way, at which the read
// agrees with the verified part: a drive may land a little early or late. At
// that shift the read confirms the tail as far as it agrees with it. A shift
// that cannot be told (the verified part is silence) is not guessed: such a
// read must agree as it lies. A read that fails confirms nothing.
//
// `read(lba, count, out)` reads `count` sectors (at most 26) into `out` and
// answers whether the drive delivered them. Answers the number of tail
// sectors, counted from the end, that no read confirmed: 0 when the tail is
// confirmed. Tries at most `attempts` reads, stopping at the first that
// confirms everything.
using PlainRead = std::function<bool(std::int32_t lba, std::int32_t count, std::uint8_t* out)>;
std::int32_t UnconfirmedTailSectors(std::span<const std::uint8_t> window, std::int32_t windowLba,
                                    std::int32_t tailSectors, std::int32_t firstLba, int attempts,
                                    const PlainRead& read);

}  // namespace tesslow
