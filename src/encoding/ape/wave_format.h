#pragma once

#include <cstdint>

namespace tesslow::ape {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

// The input format handed to the compressor, laid out as the Windows
// structure of the same name.
struct WAVEFORMATEX {
    std::uint16_t wFormatTag = WAVE_FORMAT_PCM;
    std::uint16_t nChannels = 2;
    std::uint32_t nSamplesPerSec = 44100;
    std::uint32_t nAvgBytesPerSec = 176400;
    std::uint16_t nBlockAlign = 4;
    std::uint16_t wBitsPerSample = 16;
    std::uint16_t cbSize = 0;
};

}  // namespace tesslow::ape
