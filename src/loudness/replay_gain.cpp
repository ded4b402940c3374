#include "loudness/replay_gain.h"

#include <ebur128.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

namespace tesslow {

namespace {

constexpr unsigned kChannels = 2;
constexpr unsigned long kSampleRate = 44100;
constexpr std::size_t kFrameBytes = kChannels * 2;
// Whole 400 ms blocks are kept (not the library's histogram, which rounds the
// loudness to 0.1 dB steps).
constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK;

double PeakOf(ebur128_state* state)
{
    double peak = 0;
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        double value = 0;
        if (ebur128_sample_peak(state, channel, &value) == EBUR128_SUCCESS) peak = std::max(peak, value);
    }
    return peak;
}

}  // namespace

struct ReplayGainMeter::State {
    ebur128_state* meter = nullptr;
    std::vector<std::int16_t> samples;  // host-order copy, where the audio cannot be taken as it is
    ~State()
    {
        if (meter) ebur128_destroy(&meter);
    }
};

ReplayGainMeter::ReplayGainMeter() : state_(std::make_unique<State>())
{
    state_->meter = ebur128_init(kChannels, kSampleRate, kMode);
    if (!state_->meter) throw std::bad_alloc();
}

ReplayGainMeter::~ReplayGainMeter() = default;

void ReplayGainMeter::Add(const unsigned char* audio, std::size_t bytes)
{
    const std::size_t frames = bytes / kFrameBytes;
    if (frames == 0) return;
    const std::int16_t* samples = nullptr;
    // The audio is little-endian: on such a machine an aligned buffer is
    // already an array of samples.
    if (std::endian::native == std::endian::little &&
        reinterpret_cast<std::uintptr_t>(audio) % alignof(std::int16_t) == 0) {
        samples = reinterpret_cast<const std::int16_t*>(audio);
    } else {
        std::vector<std::int16_t>& copy = state_->samples;
        copy.resize(frames * kChannels);
        for (std::size_t i = 0; i < copy.size(); ++i)
            copy[i] = static_cast<std::int16_t>(audio[2 * i] | audio[2 * i + 1] << 8);
        samples = copy.data();
    }
    // Fails only for an invalid state or when out of memory for a block's
    // energy; the measurement then covers the audio before it.
    (void)ebur128_add_frames_short(state_->meter, samples, frames);
}

std::optional<ReplayGain> ReplayGainMeter::Track() const
{
    double loudness = 0;
    if (ebur128_loudness_global(state_->meter, &loudness) != EBUR128_SUCCESS || !std::isfinite(loudness))
        return std::nullopt;
    return ReplayGain{kReplayGainReference - loudness, PeakOf(state_->meter)};
}

std::optional<ReplayGain> ReplayGainMeter::Album(const std::vector<const ReplayGainMeter*>& tracks)
{
    std::vector<ebur128_state*> states;
    double peak = 0;
    for (const ReplayGainMeter* track : tracks) {
        states.push_back(track->state_->meter);
        peak = std::max(peak, PeakOf(track->state_->meter));
    }
    double loudness = 0;
    if (states.empty() || ebur128_loudness_global_multiple(states.data(), states.size(), &loudness) != EBUR128_SUCCESS ||
        !std::isfinite(loudness))
        return std::nullopt;
    return ReplayGain{kReplayGainReference - loudness, peak};
}

}  // namespace tesslow
