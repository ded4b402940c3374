#pragma once

#include "modules/wmvcore/wmvcore.h"

#include <cstdint>
#include <span>
#include <vector>

namespace wmvcore {

// One format of the module's only audio codec, Windows Media Audio 9
// standard (FFmpeg's wmav2 encoder), as the codec really produces it: the
// block alignment is the size of every packet, the average bytes per second
// follow from it.
//
// Constant-bit-rate formats exist for 32000, 44100 and 48000 Hz, mono and
// stereo, at 48, 64, 80, 96, 128, 160, 192, 256 and 320 kbit/s. The codec has
// no quality mode, so the quality-based formats (44100 Hz stereo) stand for
// quality levels 10, 25, 50, 75, 90 and 98, each encoded at a constant rate:
// 64, 96, 128, 160, 192 and 256 kbit/s. The low byte of their average bytes
// per second carries the level, as real quality-based formats do.
struct CodecFormat {
    WAVEFORMATEX wave;
    std::vector<BYTE> codecData;  // the codec's own setup bytes, after the WAVEFORMATEX
    std::int64_t bitRate;         // what the encoder is asked for
    bool qualityBased;
};

// The formats of one kind, in a fixed order (by sample rate, channels, rate).
// Built once, from the codec itself. Thread-safe.
std::span<const CodecFormat> CodecFormats(bool qualityBased);

// The format that `wave` (and its codec data) describes, or null.
const CodecFormat* FindCodecFormat(const WAVEFORMATEX& wave);

}  // namespace wmvcore
