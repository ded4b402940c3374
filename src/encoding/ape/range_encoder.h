#pragma once

#include <cstdint>
#include <vector>

namespace tesslow::ape {

// The entropy coder of version 3990 files: a carry-propagating range coder
// with 31-bit precision that writes whole bytes, and the adaptive coding of
// one residual on top of it.
//
// Bytes go to the end of `out` in stream order. Start begins a frame's coded
// part (its first byte is always a 0 that decoders skip); Finish flushes it so
// that a decoder reading back to back stops exactly where the next frame
// starts. Values are coded per channel with a ValueState that also resets per
// frame.
class RangeEncoder {
public:
    struct ValueState {
        std::uint32_t kSum;
    };

    explicit RangeEncoder(std::vector<std::uint8_t>& out) : out_(out) {}

    void Start();
    void EncodeValue(std::int32_t residual, ValueState& state);
    void Finish();

private:
    void Normalize();
    void Put(std::uint32_t byte) { out_.push_back(static_cast<std::uint8_t>(byte)); }
    void EncodeSymbol(std::uint32_t cumulative, std::uint32_t width);
    void EncodeBits(std::uint32_t value, int bits);
    void EncodeUniform(std::uint32_t value, std::uint32_t total);

    std::vector<std::uint8_t>& out_;
    std::uint32_t low_ = 0;
    std::uint32_t range_ = 0;
    std::uint32_t buffer_ = 0;   // the byte held back in case a carry reaches it
    std::uint32_t pending_ = 0;  // 0xFF bytes held back behind it
};

}  // namespace tesslow::ape
