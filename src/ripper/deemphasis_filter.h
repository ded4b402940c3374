#pragma once

#include <cstddef>
#include <cstdint>

namespace tesslow {

// What the comment tag of a de-emphasised file says first (short enough for
// an ID3v1 comment's 28 bytes).
inline constexpr const char* kDeemphasisComment = "Pre-emphasis removed";

// The de-emphasis a pre-emphasised CD needs: the inverse of the 50/15 µs
// pre-emphasis curve (flat in the bass, falling from about 3.2 kHz to about
// -10 dB near 20 kHz), for 44.1 kHz stereo 16-bit little-endian PCM. One
// first-order filter per channel, whose state runs on from one call to the
// next, so a track is filtered as one stream in any chunking. Results are
// rounded and held within 16 bits.
class DeemphasisFilter {
public:
    // Filters `bytes` bytes (whole stereo frames) in place.
    void Apply(std::uint8_t* pcm, std::size_t bytes);

private:
    double lastIn_[2] = {0, 0};
    double lastOut_[2] = {0, 0};
};

}  // namespace tesslow
