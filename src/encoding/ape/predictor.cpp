#include "encoding/ape/predictor.h"

namespace tesslow::ape {

namespace {

using U = std::uint32_t;

std::int32_t Wrap(U value) { return static_cast<std::int32_t>(value); }

// x(n) - 31/32 x(n-1), with the decoders' arithmetic shift.
std::int32_t FirstOrder(std::int32_t value, std::int32_t last)
{
    return Wrap(U(value) - U(Wrap(U(last) * 31u) >> 5));
}

std::int32_t Sign(std::int32_t value) { return (value > 0) - (value < 0); }

}  // namespace

void Predictor::Reset()
{
    lastValue_ = 0;
    lastCross_ = 0;
    for (auto& term : termsA_) term = 0;
    for (auto& term : termsB_) term = 0;
    weightsA_[0] = 360;
    weightsA_[1] = 317;
    weightsA_[2] = -109;
    weightsA_[3] = 98;
    for (auto& weight : weightsB_) weight = 0;
}

std::int32_t Predictor::Compress(std::int32_t value, std::int32_t cross)
{
    const std::int32_t a = FirstOrder(value, lastValue_);
    lastValue_ = value;
    const std::int32_t b = FirstOrder(cross, lastCross_);
    lastCross_ = cross;

    // The cross terms include the current value: the decoder has it already.
    termsB_[4] = termsB_[3];
    termsB_[3] = termsB_[2];
    termsB_[2] = termsB_[1];
    termsB_[1] = Wrap(U(b) - U(termsB_[0]));
    termsB_[0] = b;

    U predictionA = 0;
    for (int i = 0; i < 4; ++i) predictionA += U(termsA_[i]) * U(weightsA_[i]);
    U predictionB = 0;
    for (int i = 0; i < 5; ++i) predictionB += U(termsB_[i]) * U(weightsB_[i]);
    const std::int32_t prediction = Wrap(predictionA + U(Wrap(predictionB) >> 1)) >> 10;
    const std::int32_t residual = Wrap(U(a) - U(prediction));

    // Each weight follows the sign of its term times the residual's sign,
    // after the prediction that used the old weights.
    const std::int32_t direction = Sign(residual);
    if (direction != 0) {
        for (int i = 0; i < 4; ++i) weightsA_[i] += Sign(termsA_[i]) * direction;
        for (int i = 0; i < 5; ++i) weightsB_[i] += Sign(termsB_[i]) * direction;
    }

    termsA_[3] = termsA_[2];
    termsA_[2] = termsA_[1];
    termsA_[1] = Wrap(U(a) - U(termsA_[0]));
    termsA_[0] = a;
    return residual;
}

}  // namespace tesslow::ape
