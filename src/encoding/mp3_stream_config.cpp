#include "encoding/mp3_stream_config.h"

namespace tesslow {

namespace {

// A preset's constant rate (kbit/s) when MP3ForceCBR is on.
std::uint32_t ConstantKbps(const Mp3StreamChoice& choice)
{
    switch (choice.preset) {
    case QualityPreset::Low: return 80;
    case QualityPreset::High: return 256;
    case QualityPreset::Custom: return static_cast<std::uint32_t>(choice.customValue / 1000);
    case QualityPreset::Medium: break;
    }
    return 192;
}

}  // namespace

BE_CONFIG MakeMp3StreamConfig(const Mp3StreamChoice& choice)
{
    BE_CONFIG config{};
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = BE_CONFIG_STRUCT_VERSION;
    config.dwStructSize = sizeof(BE_CONFIG);
    config.dwSampleRate = static_cast<std::uint32_t>(choice.sampleRate);
    config.dwReSampleRate = 0;
    config.nMode = choice.channels == 1 ? BE_MP3_MODE_MONO : BE_MP3_MODE_STEREO;
    config.dwMpegVersion = BE_MPEG1;
    config.bWriteVBRHeader = choice.forceCbr ? 0 : 1;

    if (choice.forceCbr) {
        config.nPreset = LQP_CBR;
        config.dwBitrate = ConstantKbps(choice);
        config.dwVbrAbr_bps = choice.preset == QualityPreset::Custom ? static_cast<std::uint32_t>(choice.customValue)
                                                                     : config.dwBitrate * 1000;
        return config;
    }
    switch (choice.preset) {
    case QualityPreset::Low:
        config.nPreset = LQP_ABR;
        config.dwVbrAbr_bps = 80000;
        break;
    case QualityPreset::High:
        config.nPreset = LQP_EXTREME;
        break;
    case QualityPreset::Custom:
        config.nPreset = LQP_ABR;
        config.dwVbrAbr_bps = static_cast<std::uint32_t>(choice.customValue);
        break;
    case QualityPreset::Medium:
    default:
        config.nPreset = LQP_MEDIUM;
        break;
    }
    return config;
}

}  // namespace tesslow
