#pragma once

#include <cstdint>

namespace tesslow {

// A CD audio sector: 2352 bytes = 588 stereo frames of 16-bit little-endian
// signed samples, left channel first, at 44100 Hz; 75 sectors make a second.
inline constexpr std::uint32_t kSectorBytes = 2352;
inline constexpr std::uint32_t kSectorFrames = 588;
inline constexpr std::int32_t kSectorsPerSecond = 75;

// Every drive model delivers audio a fixed number of samples early or late.
// Its read offset correction (the number drive lists give) says how many
// samples later than asked the disc's audio is to be read: with +6, the
// disc's sample k is the drive's sample k + 6. Ten sectors either way covers
// every known drive.
inline constexpr std::int32_t kLargestReadOffset = 5880;

}  // namespace tesslow
