#pragma once

#include <cstdint>

namespace tesslow {

// A CD audio sector: 2352 bytes = 588 stereo frames of 16-bit little-endian
// signed samples, left channel first, at 44100 Hz; 75 sectors make a second.
inline constexpr std::uint32_t kSectorBytes = 2352;
inline constexpr std::uint32_t kSectorFrames = 588;
inline constexpr std::int32_t kSectorsPerSecond = 75;

}  // namespace tesslow
