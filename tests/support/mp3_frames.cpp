#include "support/mp3_frames.h"

#include <algorithm>
#include <cstdint>

namespace tesslow::test {

namespace {

constexpr int kBitratesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kBitratesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int kRatesMpeg1[4] = {44100, 48000, 32000, 0};

std::uint8_t At(std::string_view bytes, std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); }

}  // namespace

std::size_t Id3v2Size(std::string_view file)
{
    if (file.size() < 10 || file.substr(0, 3) != "ID3") return 0;
    return 10 + (std::size_t{At(file, 6)} << 21 | std::size_t{At(file, 7)} << 14 | std::size_t{At(file, 8)} << 7 |
                 At(file, 9));
}

std::vector<Mp3Frame> Mp3Frames(std::string_view file, std::size_t start)
{
    std::vector<Mp3Frame> frames;
    for (std::size_t at = start; at + 4 <= file.size();) {
        const std::uint32_t header = std::uint32_t{At(file, at)} << 24 | std::uint32_t{At(file, at + 1)} << 16 |
                                     std::uint32_t{At(file, at + 2)} << 8 | At(file, at + 3);
        if ((header & 0xFFE00000u) != 0xFFE00000u) break;
        const unsigned version = (header >> 19) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
        const unsigned layer = (header >> 17) & 3;    // 1 Layer III
        const unsigned bitrateIndex = (header >> 12) & 15;
        const unsigned rateIndex = (header >> 10) & 3;
        if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) break;
        const bool mpeg1 = version == 3;
        Mp3Frame frame;
        frame.offset = at;
        frame.bitrateKbps = mpeg1 ? kBitratesMpeg1[bitrateIndex] : kBitratesMpeg2[bitrateIndex];
        frame.sampleRate = kRatesMpeg1[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
        frame.channels = ((header >> 6) & 3) == 3 ? 1 : 2;
        const std::size_t padding = (header >> 9) & 1;
        frame.size = (mpeg1 ? 144 : 72) * 1000 * static_cast<std::size_t>(frame.bitrateKbps) /
                         static_cast<std::size_t>(frame.sampleRate) + padding;
        if (at + frame.size > file.size()) break;
        const std::string_view body = file.substr(at, std::min<std::size_t>(frame.size, 64));
        frame.infoHeader = body.find("Xing") != std::string_view::npos || body.find("Info") != std::string_view::npos;
        frames.push_back(frame);
        at += frame.size;
    }
    return frames;
}

}  // namespace tesslow::test
