#include "ripper/deemphasis_filter.h"

#include <algorithm>
#include <cmath>

namespace tesslow {

namespace {

// y[n] = b0 x[n] + b1 x[n-1] - a1 y[n-1]: a zero and a pole fitted, at 44.1
// kHz, to the analog response (1 + s 15 µs) / (1 + s 50 µs) so that the
// magnitude is within 0.075 dB of it from 20 Hz to 20 kHz (a plain bilinear
// transform is almost 1 dB off near the top of the band).
constexpr double kB0 = 0.460317;
constexpr double kB1 = -0.460317 * 0.186572;
constexpr double kA1 = -0.622467;

}  // namespace

void DeemphasisFilter::Apply(std::uint8_t* pcm, std::size_t bytes)
{
    for (std::size_t at = 0; at + 4 <= bytes; at += 4) {
        for (int channel = 0; channel < 2; ++channel) {
            std::uint8_t* sample = pcm + at + 2 * channel;
            const double in = static_cast<std::int16_t>(sample[0] | (sample[1] << 8));
            const double out = kB0 * in + kB1 * lastIn_[channel] - kA1 * lastOut_[channel];
            lastIn_[channel] = in;
            lastOut_[channel] = out;
            const auto value = static_cast<std::int16_t>(std::clamp(std::lround(out), -32768L, 32767L));
            sample[0] = static_cast<std::uint8_t>(value & 0xFF);
            sample[1] = static_cast<std::uint8_t>((static_cast<std::uint16_t>(value) >> 8) & 0xFF);
        }
    }
}

}  // namespace tesslow
