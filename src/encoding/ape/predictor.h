#pragma once

#include <cstdint>

namespace tesslow::ape {

// The fixed and adaptive prediction of one channel, ahead of the NN filters:
// a scaled first-order filter on the channel and on its cross input, then an
// adaptive predictor from the channel's last four filtered values and the
// cross input's current and four past filtered values. Compress returns the
// residual. All arithmetic wraps at 32 bits as the decoders' does. Reset at
// every frame.
class Predictor {
public:
    Predictor() { Reset(); }

    void Reset();
    // `value` is this channel's sample, `cross` the other channel's sample
    // that the decoder knows already (0 for mono).
    std::int32_t Compress(std::int32_t value, std::int32_t cross);

private:
    std::int32_t lastValue_;   // the channel's previous raw sample (first-order filter)
    std::int32_t lastCross_;   // the cross input's previous raw sample
    std::int32_t termsA_[4];   // a(n-1), then the differences a(n-1)-a(n-2), a(n-2)-a(n-3), a(n-3)-a(n-4)
    std::int32_t termsB_[5];   // b(n), then b(n)-b(n-1) and that difference one, two and three steps back
    std::int32_t weightsA_[4];
    std::int32_t weightsB_[5];
};

}  // namespace tesslow::ape
