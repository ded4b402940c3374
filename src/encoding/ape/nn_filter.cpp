#include "encoding/ape/nn_filter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace tesslow::ape {

namespace {

std::int16_t Saturate16(std::int32_t value)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, INT16_MIN, INT16_MAX));
}

// The two loops that take the time, for one order known at compile time so
// that the compiler turns them into vector instructions. The sum wraps at 32
// bits, as the decoders' does.
template <int Order>
std::int32_t Dot(const std::int16_t* __restrict past, const std::int16_t* __restrict weights)
{
    std::uint32_t sum = 0;
    for (int i = 0; i < Order; ++i) sum += static_cast<std::uint32_t>(past[i] * weights[i]);
    return static_cast<std::int32_t>(sum);
}

template <int Order>
void Adapt(std::int16_t* __restrict weights, const std::int16_t* __restrict steps, std::int32_t error)
{
    if (error > 0) {
        for (int i = 0; i < Order; ++i) weights[i] = static_cast<std::int16_t>(weights[i] - steps[i]);
    } else if (error < 0) {
        for (int i = 0; i < Order; ++i) weights[i] = static_cast<std::int16_t>(weights[i] + steps[i]);
    }
}

template <int Order>
std::int32_t Predict(const std::int16_t* past, std::int16_t* weights, const std::int16_t* steps, int shift,
                     std::int32_t input)
{
    const std::int32_t dot = Dot<Order>(past, weights);
    const auto predicted = static_cast<std::int32_t>((static_cast<std::int64_t>(dot) + (1 << (shift - 1))) >> shift);
    const auto output =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(input) - static_cast<std::uint32_t>(predicted));
    // Weights move against the error's sign; the steps already carry the
    // opposite sign of their input. Weights wrap at 16 bits.
    Adapt<Order>(weights, steps, output);
    return output;
}

}  // namespace

NNFilter::NNFilter(int order, int shift)
    : order_(order == 16 || order == 32 || order == 64 || order == 256 ? order : throw std::invalid_argument("order")),
      shift_(shift),
      weights_(static_cast<std::size_t>(order)),
      inputs_(static_cast<std::size_t>(kWindow + order)),
      adapt_(static_cast<std::size_t>(kWindow + order))
{
    Reset();
}

void NNFilter::Reset()
{
    std::fill(weights_.begin(), weights_.end(), 0);
    std::fill(inputs_.begin(), inputs_.end(), 0);
    std::fill(adapt_.begin(), adapt_.end(), 0);
    at_ = order_;
    average_ = 0;
}

std::int32_t NNFilter::Compress(std::int32_t input)
{
    const std::int16_t* past = &inputs_[static_cast<std::size_t>(at_ - order_)];
    const std::int16_t* steps = &adapt_[static_cast<std::size_t>(at_ - order_)];
    std::int16_t* weights = weights_.data();

    std::int32_t output;
    switch (order_) {
    case 16: output = Predict<16>(past, weights, steps, shift_, input); break;
    case 32: output = Predict<32>(past, weights, steps, shift_, input); break;
    case 64: output = Predict<64>(past, weights, steps, shift_, input); break;
    case 256: output = Predict<256>(past, weights, steps, shift_, input); break;
    default: std::abort();  // the constructor takes no other order
    }

    // The step of this input: larger the further it lies above the average.
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(input));
    const std::int64_t average = average_;
    std::int16_t step = 0;
    if (magnitude > average * 3)
        step = 32;
    else if (magnitude > average + average / 3)
        step = 16;
    else if (magnitude > 0)
        step = 8;
    const auto index = static_cast<std::size_t>(at_);
    adapt_[index] = input > 0 ? static_cast<std::int16_t>(-step) : step;
    average_ += static_cast<std::int32_t>((magnitude - average) / 16);
    adapt_[index - 1] >>= 1;
    adapt_[index - 2] >>= 1;
    adapt_[index - 8] >>= 1;
    inputs_[index] = Saturate16(input);

    if (++at_ == kWindow + order_) {
        const auto keep = static_cast<std::size_t>(order_);
        std::memmove(inputs_.data(), inputs_.data() + kWindow, keep * sizeof(std::int16_t));
        std::memmove(adapt_.data(), adapt_.data() + kWindow, keep * sizeof(std::int16_t));
        at_ = order_;
    }
    return output;
}

}  // namespace tesslow::ape
