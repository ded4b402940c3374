#include "encoding/ape/range_encoder.h"

#include "encoding/ape/range_tables.h"

#include <algorithm>
#include <bit>

namespace tesslow::ape {

namespace {

constexpr std::uint32_t kTop = 1u << 31;     // low and range live below this
constexpr std::uint32_t kBottom = 1u << 23;  // a range this small is shifted out a byte at a time
constexpr int kShift = 23;                   // low >> kShift is the next byte out

}  // namespace

void RangeEncoder::Start()
{
    low_ = 0;
    range_ = kTop;
    buffer_ = 0;
    pending_ = 0;
}

void RangeEncoder::Normalize()
{
    while (range_ <= kBottom) {
        if (low_ < (0xFFu << kShift)) {
            // No carry can reach the held bytes any more.
            Put(buffer_);
            for (; pending_ > 0; --pending_) Put(0xFF);
            buffer_ = low_ >> kShift;
        } else if (low_ & kTop) {
            // A carry: it turns the held 0xFF bytes into zeros.
            Put(buffer_ + 1);
            for (; pending_ > 0; --pending_) Put(0);
            buffer_ = (low_ >> kShift) & 0xFF;
        } else {
            ++pending_;  // a 0xFF byte that a later carry may still change
        }
        low_ = (low_ << 8) & (kTop - 1);
        range_ <<= 8;
    }
}

void RangeEncoder::EncodeSymbol(std::uint32_t cumulative, std::uint32_t width)
{
    Normalize();
    const std::uint32_t step = range_ >> kOverflowTotalBits;
    range_ = step * width;
    low_ += step * cumulative;
}

void RangeEncoder::EncodeBits(std::uint32_t value, int bits)
{
    Normalize();
    range_ >>= bits;
    low_ += range_ * value;
}

void RangeEncoder::EncodeUniform(std::uint32_t value, std::uint32_t total)
{
    Normalize();
    range_ /= total;
    low_ += range_ * value;
}

void RangeEncoder::EncodeValue(std::int32_t residual, ValueState& state)
{
    // Fold the sign into the lowest bit: 0, -1, 1, -2, 2 ... become 0, 1, 2, 3, 4 ...
    const auto magnitude = static_cast<std::uint32_t>(residual);
    const std::uint32_t value = residual > 0 ? 2 * magnitude - 1 : 0u - 2 * magnitude;

    const std::uint32_t pivot = std::max(state.kSum >> 5, 1u);
    const std::uint32_t overflow = value / pivot;
    const std::uint32_t base = value % pivot;
    state.kSum += (value + 1) / 2 - ((state.kSum + 16) >> 5);

    if (overflow < static_cast<std::uint32_t>(kOverflowEscape)) {
        EncodeSymbol(kOverflowModel.cumulative[overflow], kOverflowModel.width[overflow]);
    } else {
        EncodeSymbol(kOverflowModel.cumulative[kOverflowEscape], kOverflowModel.width[kOverflowEscape]);
        EncodeBits(overflow >> 16, 16);
        EncodeBits(overflow & 0xFFFF, 16);
    }

    if (pivot < (1u << 16)) {
        EncodeUniform(base, pivot);
    } else {
        // The range cannot be split that finely at once: the high part over
        // the pivot's top 16 bits (plus one), then the low bits.
        const int lowBits = std::bit_width(pivot) - 16;
        EncodeUniform(base >> lowBits, (pivot >> lowBits) + 1);
        EncodeUniform(base & ((1u << lowBits) - 1), 1u << lowBits);
    }
}

void RangeEncoder::Finish()
{
    Normalize();
    const std::uint32_t last = (low_ >> kShift) + 1;
    if (last > 0xFF) {
        Put(buffer_ + 1);
        for (; pending_ > 0; --pending_) Put(0);
    } else {
        Put(buffer_);
        for (; pending_ > 0; --pending_) Put(0xFF);
    }
    Put(last & 0xFF);
    Put(0);
    Put(0);
    Put(0);
}

}  // namespace tesslow::ape
