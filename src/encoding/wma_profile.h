#pragma once

#include "encoding/wmvcore_library.h"
#include "modules/wmvcore/com_ptr.h"

#include <cstdint>

namespace tesslow {

// Writer profiles with one audio stream in a Windows Media Audio 9 standard
// format (tag 0x0161) of the runtime's codecs, for `sampleRate` and
// `channels`. Each failing runtime call throws EncoderException "wma profile
// creation error #N" with the number of its step; when no format fits:
// "wma codec is improperly installed, please reinstall".

// A constant-bit-rate format whose average rate lies within 249 bit/s of
// `bitRate`; of several, the one with the largest block alignment (the later
// one on a tie).
wmvcore::ComPtr<wmvcore::IWMProfile> BuildConstantRateProfile(const WmvCoreLibrary& runtime, std::int32_t bitRate,
                                                              std::uint32_t sampleRate, std::uint16_t channels);

// A quality-based format for `quality` (0..1): the lowest quality level at or
// above quality × 100, wrapping round to the lowest level below it when
// there is none (the earlier format on a tie).
wmvcore::ComPtr<wmvcore::IWMProfile> BuildQualityProfile(const WmvCoreLibrary& runtime, double quality,
                                                         std::uint32_t sampleRate, std::uint16_t channels);

}  // namespace tesslow
