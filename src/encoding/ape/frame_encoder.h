#pragma once

#include "encoding/ape/nn_filter.h"
#include "encoding/ape/predictor.h"
#include "encoding/ape/range_encoder.h"

#include <cstdint>
#include <vector>

namespace tesslow::ape {

// The compression levels this library writes.
inline constexpr int kLevelFast = 1000;
inline constexpr int kLevelNormal = 2000;
inline constexpr int kLevelHigh = 3000;
inline constexpr int kLevelExtraHigh = 4000;

bool IsSupportedLevel(int level);
// 73728 blocks, four times as many at the extra high level.
std::uint32_t BlocksPerFrame(int level);

// Encodes whole frames of 16-bit PCM (mono or stereo) at one level into the
// logical byte stream of the frame area: the CRC of the frame's PCM, then the
// range-coded residuals of every block, flushed so that the next frame starts
// at the next byte. Frames are independent of each other: every state resets.
class FrameEncoder {
public:
    FrameEncoder(int level, int channels);

    // Appends the frame for `blocks` blocks of interleaved little-endian
    // samples at `pcm` to `out`.
    void Encode(const std::uint8_t* pcm, std::uint32_t blocks, std::vector<std::uint8_t>& out);

private:
    struct Channel {
        Predictor predictor;
        std::vector<NNFilter> filters;  // applied in order
        RangeEncoder::ValueState coder{};

        void Reset();
        std::int32_t Compress(std::int32_t value, std::int32_t cross);
    };

    int channels_;
    Channel x_;  // mono, or the mid of stereo
    Channel y_;  // the side of stereo
};

}  // namespace tesslow::ape
