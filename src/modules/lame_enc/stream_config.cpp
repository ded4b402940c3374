#include "modules/lame_enc/stream_config.h"

#include <algorithm>
#include <cstdint>
#include <cstdarg>

namespace tesslow {

namespace {

void Silent(const char*, va_list) {}

// kbit/s from bit/s, rounded, within the range the library's presets accept.
int PresetKbps(std::uint32_t bitsPerSecond)
{
    return std::clamp(static_cast<int>((bitsPerSecond + 500) / 1000), 8, 320);
}

// Named presets: the record's code and the library's preset of the same name.
struct NamedPreset {
    int code;
    int libraryPreset;
};

constexpr NamedPreset kNamedPresets[] = {
    {LQP_STANDARD, STANDARD},   {LQP_FAST_STANDARD, STANDARD_FAST}, {LQP_EXTREME, EXTREME},
    {LQP_FAST_EXTREME, EXTREME_FAST}, {LQP_INSANE, INSANE},       {LQP_MEDIUM, MEDIUM},
    {LQP_FAST_MEDIUM, MEDIUM_FAST},
};

// No preset: the record's own mode, rate and VBR fields.
bool ApplyPlainSettings(lame_t lame, const BE_CONFIG& config)
{
    switch (config.nMode) {
    case BE_MP3_MODE_STEREO:
    case BE_MP3_MODE_DUALCHANNEL:  // the library has no dual-channel coding; independent channels come closest
        lame_set_mode(lame, STEREO);
        break;
    case BE_MP3_MODE_JSTEREO:
        lame_set_mode(lame, JOINT_STEREO);
        break;
    default:  // mono is set for every preset below
        break;
    }
    if (config.bEnableVBR) {
        lame_set_VBR_q(lame, std::clamp(config.nVBRQuality, 0, 9));
        switch (config.nVbrMethod) {
        case VBR_METHOD_NONE: lame_set_VBR(lame, vbr_off); break;
        case VBR_METHOD_DEFAULT: lame_set_VBR(lame, vbr_default); break;
        case VBR_METHOD_OLD: lame_set_VBR(lame, vbr_rh); break;
        case VBR_METHOD_NEW:
        case VBR_METHOD_MTRH: lame_set_VBR(lame, vbr_mtrh); break;
        case VBR_METHOD_ABR: lame_set_VBR(lame, vbr_abr); break;
        default: return false;
        }
    } else {
        lame_set_VBR(lame, vbr_off);
    }
    if (config.dwBitrate > 0) lame_set_brate(lame, static_cast<int>(config.dwBitrate));
    if (config.dwVbrAbr_bps > 0) {
        lame_set_VBR(lame, vbr_abr);
        lame_set_VBR_mean_bitrate_kbps(lame, PresetKbps(config.dwVbrAbr_bps));
    }
    return true;
}

bool ApplyPreset(lame_t lame, const BE_CONFIG& config)
{
    switch (config.nPreset) {
    case LQP_NOPRESET:
    case LQP_NORMAL_QUALITY:
        return ApplyPlainSettings(lame, config);
    case LQP_ABR:
        // The library's bit-rate presets are its tuned average-bit-rate modes.
        lame_set_preset(lame, PresetKbps(config.dwVbrAbr_bps));
        return true;
    case LQP_CBR:
        // The tuned preset for the rate, with the rate held constant.
        if (config.dwBitrate == 0) return false;
        lame_set_preset(lame, std::clamp(static_cast<int>(config.dwBitrate), 8, 320));
        lame_set_VBR(lame, vbr_off);
        return true;
    default:
        for (const NamedPreset& preset : kNamedPresets) {
            if (preset.code == config.nPreset) {
                lame_set_preset(lame, preset.libraryPreset);
                return true;
            }
        }
        return false;
    }
}

}  // namespace

BE_ERR ConfigureStream(lame_t lame, const BE_CONFIG& config)
{
    if (config.dwConfig != BE_CONFIG_LAME) return BE_ERR_INVALID_FORMAT;
    if (config.dwStructVersion < BE_CONFIG_STRUCT_VERSION || config.dwStructSize < sizeof(BE_CONFIG))
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (config.dwSampleRate == 0 || config.nMode < BE_MP3_MODE_STEREO || config.nMode > BE_MP3_MODE_MONO)
        return BE_ERR_INVALID_FORMAT_PARAMETERS;

    lame_set_errorf(lame, Silent);
    lame_set_debugf(lame, Silent);
    lame_set_msgf(lame, Silent);
    lame_set_write_id3tag_automatic(lame, 0);

    const bool mono = config.nMode == BE_MP3_MODE_MONO;
    lame_set_in_samplerate(lame, static_cast<int>(config.dwSampleRate));
    lame_set_num_channels(lame, mono ? 1 : 2);
    if (!ApplyPreset(lame, config)) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (mono) lame_set_mode(lame, MONO);
    if (config.dwReSampleRate > 0) lame_set_out_samplerate(lame, static_cast<int>(config.dwReSampleRate));

    if (config.nPreset != LQP_CBR && config.dwBitrate > 0)
        lame_set_VBR_min_bitrate_kbps(lame, static_cast<int>(config.dwBitrate));
    if (config.dwMaxBitrate > 0) lame_set_VBR_max_bitrate_kbps(lame, static_cast<int>(config.dwMaxBitrate));

    lame_set_copyright(lame, config.bCopyright ? 1 : 0);
    lame_set_original(lame, config.bOriginal ? 1 : 0);
    lame_set_error_protection(lame, config.bCRC ? 1 : 0);
    lame_set_extension(lame, config.bPrivate ? 1 : 0);
    lame_set_strict_ISO(lame, config.bStrictIso ? 1 : 0);
    lame_set_disable_reservoir(lame, config.bNoRes ? 1 : 0);
    lame_set_bWriteVbrTag(lame, config.bWriteVBRHeader ? 1 : 0);

    // The quality word counts only when its high byte is the complement of
    // its low byte, so that a zero-filled record keeps the library's default.
    const unsigned quality = config.nQuality & 0xFFu;
    if (quality <= 9 && quality == (~(config.nQuality >> 8) & 0xFFu)) lame_set_quality(lame, static_cast<int>(quality));

    return lame_init_params(lame) < 0 ? BE_ERR_INVALID_FORMAT_PARAMETERS : BE_ERR_SUCCESSFUL;
}

}  // namespace tesslow
