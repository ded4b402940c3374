#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tesslow::test {

// Deterministic, music-like CD audio: 16-bit little-endian signed stereo at
// 44100 Hz. Chords of three plucked voices with overtones from a pentatonic
// scale, notes of varying length, panned apart, over a low noise floor, so
// lossless coders see realistic material rather than silence or a pure tone.
// The same seed always gives the same bytes. Header-only, so benchmarks can
// use it without the test framework.
class MusicSignal {
public:
    explicit MusicSignal(std::uint32_t seed = 1) : random_(seed * 2654435761u + 1) {}

    // Appends `frames` stereo frames to `out`.
    void Generate(std::size_t frames, std::string& out)
    {
        out.reserve(out.size() + frames * 4);
        for (std::size_t i = 0; i < frames; ++i) {
            if (noteLeft_ == 0) StartNote();
            --noteLeft_;
            double left = 0, right = 0;
            for (auto& voice : voices_) {
                double sample = 0;
                for (auto& partial : voice.partials) {
                    const double c = partial.c * partial.cosStep - partial.s * partial.sinStep;
                    partial.s = partial.s * partial.cosStep + partial.c * partial.sinStep;
                    partial.c = c;
                    sample += partial.s * partial.gain;
                }
                voice.level *= voice.decay;
                const double attack = voice.age < 220 ? voice.age / 220.0 : 1.0;
                ++voice.age;
                sample *= voice.level * attack;
                left += sample * (1 - voice.pan);
                right += sample * voice.pan;
            }
            noise_ = 0.7 * noise_ + 0.3 * (NextUnit() * 2 - 1);
            left += noise_ * 0.004;
            right += (noise_ * 0.6 + (NextUnit() * 2 - 1) * 0.4) * 0.004;
            Put(out, left);
            Put(out, right);
        }
    }

private:
    struct Partial {
        double c = 1, s = 0, cosStep = 1, sinStep = 0, gain = 0;
    };
    struct Voice {
        Partial partials[3];
        double level = 0, decay = 1, pan = 0.5;
        long age = 0;
    };

    double NextUnit()
    {
        random_ = random_ * 1664525u + 1013904223u;
        return (random_ >> 8) / 16777216.0;
    }

    void StartNote()
    {
        static constexpr int kScale[] = {0, 2, 4, 7, 9};
        static constexpr std::size_t kLengths[] = {5512, 11025, 11025, 22050};
        noteLeft_ = kLengths[static_cast<std::size_t>(NextUnit() * 4)];
        const int root = 45 + static_cast<int>(NextUnit() * 12);
        for (std::size_t v = 0; v < 3; ++v) {
            Voice& voice = voices_[v];
            const int degree = static_cast<int>(NextUnit() * 10);
            const int midi = root + 12 * (degree / 5) + kScale[degree % 5] + 12 * static_cast<int>(v / 2);
            const double frequency = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
            for (int h = 0; h < 3; ++h) {
                Partial& partial = voice.partials[h];
                const double step = 2 * M_PI * frequency * (h + 1) / 44100.0;
                partial = {1, 0, std::cos(step), std::sin(step), 1.0 / (1 << h)};
            }
            voice.level = 0.08 + NextUnit() * 0.08;
            voice.decay = 1 - (1.0 + NextUnit() * 4) / 44100.0;
            voice.pan = 0.2 + 0.3 * static_cast<double>(v) + NextUnit() * 0.1;
            voice.age = 0;
        }
    }

    static void Put(std::string& out, double value)
    {
        long sample = std::lround(value * 32767.0);
        if (sample > 32767) sample = 32767;
        if (sample < -32768) sample = -32768;
        const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(sample));
        out.push_back(static_cast<char>(bits & 0xFF));
        out.push_back(static_cast<char>(bits >> 8));
    }

    std::uint32_t random_;
    double noise_ = 0;
    std::size_t noteLeft_ = 0;
    Voice voices_[3];
};

// `frames` stereo frames of MusicSignal(seed).
inline std::string MusicPcm(std::size_t frames, std::uint32_t seed = 1)
{
    std::string out;
    MusicSignal(seed).Generate(frames, out);
    return out;
}

// `seconds` of MusicSignal(seed) at 44100 Hz; with one channel, the two
// channels mixed down.
inline std::string MusicPcmSeconds(double seconds, int channels = 2, std::uint32_t seed = 1)
{
    const std::string stereo = MusicPcm(static_cast<std::size_t>(seconds * 44100), seed);
    if (channels != 1) return stereo;
    std::string mono;
    mono.reserve(stereo.size() / 2);
    for (std::size_t i = 0; i + 3 < stereo.size(); i += 4) {
        auto sample = [&](std::size_t at) {
            return static_cast<std::int16_t>(static_cast<std::uint8_t>(stereo[at]) |
                                             static_cast<std::uint8_t>(stereo[at + 1]) << 8);
        };
        const auto mixed = static_cast<std::uint16_t>(static_cast<std::int16_t>((sample(i) + sample(i + 2)) / 2));
        mono.push_back(static_cast<char>(mixed & 0xFF));
        mono.push_back(static_cast<char>(mixed >> 8));
    }
    return mono;
}

}  // namespace tesslow::test
