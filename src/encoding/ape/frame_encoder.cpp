#include "encoding/ape/frame_encoder.h"

#include "encoding/ape/range_tables.h"

#include <zlib.h>

namespace tesslow::ape {

namespace {

// The NN filters of each level, in the order the compressor applies them
// (decoders undo them last first).
struct FilterSpec {
    int order;
    int shift;
};

std::vector<FilterSpec> FiltersOf(int level)
{
    switch (level) {
    case kLevelNormal: return {{16, 11}};
    case kLevelHigh: return {{64, 11}};
    case kLevelExtraHigh: return {{256, 13}, {32, 10}};
    default: return {};
    }
}

std::int32_t SampleAt(const std::uint8_t* at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | at[1] << 8));
}

}  // namespace

bool IsSupportedLevel(int level)
{
    return level == kLevelFast || level == kLevelNormal || level == kLevelHigh || level == kLevelExtraHigh;
}

std::uint32_t BlocksPerFrame(int level) { return level == kLevelExtraHigh ? 73728 * 4 : 73728; }

void FrameEncoder::Channel::Reset()
{
    predictor.Reset();
    for (auto& filter : filters) filter.Reset();
    coder.kSum = kInitialKSum;
}

std::int32_t FrameEncoder::Channel::Compress(std::int32_t value, std::int32_t cross)
{
    std::int32_t residual = predictor.Compress(value, cross);
    for (auto& filter : filters) residual = filter.Compress(residual);
    return residual;
}

FrameEncoder::FrameEncoder(int level, int channels) : channels_(channels)
{
    for (const FilterSpec& spec : FiltersOf(level)) {
        x_.filters.emplace_back(spec.order, spec.shift);
        y_.filters.emplace_back(spec.order, spec.shift);
    }
}

void FrameEncoder::Encode(const std::uint8_t* pcm, std::uint32_t blocks, std::vector<std::uint8_t>& out)
{
    const std::size_t bytes = std::size_t{blocks} * static_cast<std::size_t>(channels_) * 2;
    // The standard CRC-32 of the PCM, shifted down: the top bit would announce
    // special codes after it, which this encoder never writes.
    const auto crc = static_cast<std::uint32_t>(::crc32_z(0, pcm, bytes)) >> 1;
    out.push_back(static_cast<std::uint8_t>(crc >> 24));
    out.push_back(static_cast<std::uint8_t>(crc >> 16));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    out.push_back(static_cast<std::uint8_t>(crc));

    x_.Reset();
    y_.Reset();
    RangeEncoder coder(out);
    coder.Start();
    if (channels_ == 1) {
        for (std::uint32_t i = 0; i < blocks; ++i, pcm += 2) coder.EncodeValue(x_.Compress(SampleAt(pcm), 0), x_.coder);
    } else {
        // Side first, predicted with the mid of the block before; then the
        // mid, predicted with this block's side. The halving rounds toward
        // zero, as the decoders' inverse expects.
        std::int32_t lastMid = 0;
        for (std::uint32_t i = 0; i < blocks; ++i, pcm += 4) {
            const std::int32_t left = SampleAt(pcm);
            const std::int32_t right = SampleAt(pcm + 2);
            const std::int32_t side = right - left;
            const std::int32_t mid = left + side / 2;
            const std::int32_t sideResidual = y_.Compress(side, lastMid);
            const std::int32_t midResidual = x_.Compress(mid, side);
            coder.EncodeValue(sideResidual, y_.coder);
            coder.EncodeValue(midResidual, x_.coder);
            lastMid = mid;
        }
    }
    coder.Finish();
}

}  // namespace tesslow::ape
