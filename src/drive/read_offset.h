#pragma once

#include "app/cd_audio.h"

#include <cstdint>

namespace tesslow {

class ScsiCommand;

// A corrected read takes up to ten sectors more than it delivers; reads of up
// to this many sectors still go to the drive as one command.
inline constexpr std::int32_t kLongestCorrectedRead = 255 - kLargestReadOffset / 588;

// What is known of a drive's reading.
struct ReadOffset {
    std::int32_t samples = 0;  // the correction, within kLargestReadOffset either way
    bool overread = false;     // try the sectors outside the disc's audio that the correction needs
};

// Where a corrected read gave silence because the samples lie outside the
// disc's audio (before its first sample, or at or past its end) and overread
// was off or refused.
struct OutsideSilence {
    bool before = false;
    bool after = false;
};

// Reads `sectors` sectors from `lba` as the disc holds them: the drive's
// audio moved by the correction. A drive sector holds 588 samples, so an
// offset that is not a whole number of sectors takes one more sector and
// bytes are cut off the other end. `audioEnd` is the first sector after the
// disc's audio (its lead-out, or the end of its audio session). Sectors
// outside [0, audioEnd) are read only with overread; a refusal, or overread
// off, gives silence there and is noted in `silence` when given. Any other
// failure answers the drive's status, and the buffer is not to be used. With
// no offset and nothing outside, this is one READ CD per 255 sectors, as
// before; with one, reads of up to kLongestCorrectedRead sectors stay one
// command (a drive lands each command on its own, so one read is one
// continuous stretch of audio). Thread use as ScsiCommand's.
std::int32_t ReadCorrected(ScsiCommand& drive, const ReadOffset& offset, std::int32_t audioEnd, std::int32_t lba,
                           std::int32_t sectors, std::uint8_t* buffer, OutsideSilence* silence = nullptr);

// How many samples of the sectors [first, first + count) lie outside the
// disc's audio once corrected by `samples`: before its start and past its end.
struct OutsideSamples {
    std::int64_t before = 0;
    std::int64_t after = 0;
};
OutsideSamples SamplesOutside(std::int32_t samples, std::int32_t audioEnd, std::int32_t first, std::int32_t count);

}  // namespace tesslow
