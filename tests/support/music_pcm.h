#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

namespace tesslow::test {

// Deterministic music-like CD audio (44100 Hz, 16-bit little-endian,
// interleaved): a melody of decaying harmonic notes with a bass line, a
// different voice on each channel, and short noise bursts on the beat, so that
// encoders see changing tones and transients rather than silence or a steady
// sine. The same arguments always give the same bytes.
inline std::string MusicPcm(double seconds, int channels = 2, std::uint32_t seed = 1)
{
    constexpr int kRate = 44100;
    constexpr double kNoteSeconds = 0.25;
    // A pentatonic scale over two octaves, in Hz.
    constexpr double kScale[] = {220.0, 246.9, 277.2, 329.6, 370.0, 440.0, 493.9, 554.4, 659.3, 740.0};
    constexpr int kScaleSize = sizeof(kScale) / sizeof(kScale[0]);

    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::string pcm(frames * static_cast<std::size_t>(channels) * 2, '\0');
    std::uint32_t noise = seed * 2654435761u + 12345u;
    std::uint32_t notePick = seed;
    double melody[2] = {440.0, 329.6};
    double bass = 110.0;
    const auto noteFrames = static_cast<std::size_t>(kNoteSeconds * kRate);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t inNote = i % noteFrames;
        if (inNote == 0) {
            notePick = notePick * 1103515245u + 12345u;
            melody[0] = kScale[(notePick >> 16) % kScaleSize];
            melody[1] = kScale[(notePick >> 20) % kScaleSize] * 0.5;
            if ((i / noteFrames) % 4 == 0) bass = kScale[(notePick >> 8) % 5] * 0.5;
        }
        const double t = static_cast<double>(i) / kRate;
        const double tNote = static_cast<double>(inNote) / kRate;
        const double envelope = std::exp(-3.0 * tNote);
        noise = noise * 1664525u + 1013904223u;
        const double hit = (inNote < 2000) ? ((static_cast<double>(noise >> 8) / 8388608.0) - 1.0) * std::exp(-tNote * 400) : 0.0;
        for (int c = 0; c < channels; ++c) {
            const double f = melody[c % 2];
            double v = 0.0;
            for (int h = 1; h <= 4; ++h) v += std::sin(2 * std::numbers::pi * f * h * t) / (h * h);
            v = 0.35 * envelope * v + 0.25 * std::sin(2 * std::numbers::pi * bass * t) + 0.12 * hit;
            const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32000.0));
            const std::size_t at = (i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)) * 2;
            pcm[at] = static_cast<char>(sample & 0xFF);
            pcm[at + 1] = static_cast<char>((sample >> 8) & 0xFF);
        }
    }
    return pcm;
}

}  // namespace tesslow::test
