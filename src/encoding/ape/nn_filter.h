#pragma once

#include <cstdint>
#include <vector>

namespace tesslow::ape {

// The adaptive FIR stage ("neural net" filter) of the compressor: predicts
// each input from the last `order` inputs (saturated to 16 bits) with 16-bit
// weights that follow the sign of the error, and returns the error. Every
// rounding and wrap-around is the decoder's, which repeats the same steps on
// the values it reconstructs. State starts empty; make a new filter (or call
// Reset) for every frame.
class NNFilter {
public:
    // Orders 16, 32, 64 and 256 (std::invalid_argument otherwise).
    NNFilter(int order, int shift);

    void Reset();
    std::int32_t Compress(std::int32_t input);

private:
    // The history lives in a window much longer than the order and is moved
    // back to the start when it fills, so each step reads a contiguous run.
    static constexpr int kWindow = 512;

    int order_;
    int shift_;
    std::vector<std::int16_t> weights_;
    std::vector<std::int16_t> inputs_;  // saturated past inputs, oldest first
    std::vector<std::int16_t> adapt_;   // each past input's weight step, same positions
    int at_ = 0;                        // where the next input goes; the history is [at_ - order_, at_)
    std::int32_t average_ = 0;          // running average of |input|
};

}  // namespace tesslow::ape
