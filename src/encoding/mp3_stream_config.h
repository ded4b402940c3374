#pragma once

#include "app/rip_job.h"
#include "modules/lame_enc/lame_enc.h"

#include <cstdint>

namespace tesslow {

// What the MP3 stream is configured from.
struct Mp3StreamChoice {
    QualityPreset preset = QualityPreset::Medium;
    std::int32_t customValue = 0;  // bit/s, the custom step's value
    bool forceCbr = false;         // the MP3ForceCBR setting
    std::int32_t sampleRate = 44100;
    std::int32_t channels = 2;
};

// The configuration record for lame_enc's beInitStream. Without forceCbr:
// Low is an 80 kbit/s average rate, Medium and High the library's medium and
// extreme VBR presets, Custom an average rate of customValue; the first frame
// is reserved for the information header. With forceCbr: constant 80, 192,
// 256 kbit/s or customValue, and no information header. An unknown preset
// code counts as Medium.
BE_CONFIG MakeMp3StreamConfig(const Mp3StreamChoice& choice);

}  // namespace tesslow
