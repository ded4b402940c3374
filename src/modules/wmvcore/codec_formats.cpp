#include "modules/wmvcore/codec_formats.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <memory>

namespace wmvcore {

namespace {

constexpr std::uint32_t kSampleRates[] = {32000, 44100, 48000};
constexpr int kKilobitRates[] = {48, 64, 80, 96, 128, 160, 192, 256, 320};

struct QualityLevel {
    int level;
    int kilobits;
};
constexpr QualityLevel kQualityLevels[] = {{10, 64}, {25, 96}, {50, 128}, {75, 160}, {90, 192}, {98, 256}};

struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};

// Opens the encoder at these settings to learn what it makes of them.
bool Probe(std::uint32_t rate, int channels, std::int64_t bitRate, CodecFormat& format)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec) return false;
    std::unique_ptr<AVCodecContext, CodecContextDeleter> context(avcodec_alloc_context3(codec));
    if (!context) return false;
    context->sample_rate = static_cast<int>(rate);
    av_channel_layout_default(&context->ch_layout, channels);
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->bit_rate = bitRate;
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(context.get(), codec, nullptr) < 0 || context->block_align <= 0 || context->frame_size <= 0)
        return false;

    const auto blockAlign = static_cast<std::uint32_t>(context->block_align);
    const auto frame = static_cast<std::uint32_t>(context->frame_size);
    format.wave.wFormatTag = WAVE_FORMAT_WMAUDIO2;
    format.wave.nChannels = static_cast<WORD>(channels);
    format.wave.nSamplesPerSec = rate;
    format.wave.nAvgBytesPerSec = (blockAlign * rate + frame / 2) / frame;
    format.wave.nBlockAlign = static_cast<WORD>(blockAlign);
    format.wave.wBitsPerSample = 16;
    format.codecData.assign(context->extradata, context->extradata + context->extradata_size);
    format.wave.cbSize = static_cast<WORD>(format.codecData.size());
    format.bitRate = bitRate;
    return true;
}

struct Tables {
    std::vector<CodecFormat> constant;
    std::vector<CodecFormat> quality;
};

const Tables& BuiltTables()
{
    static const Tables tables = [] {
        Tables built;
        for (std::uint32_t rate : kSampleRates)
            for (int channels = 1; channels <= 2; ++channels)
                for (int kilobits : kKilobitRates) {
                    CodecFormat format{};
                    if (Probe(rate, channels, kilobits * 1000, format)) built.constant.push_back(format);
                }
        for (const QualityLevel& level : kQualityLevels) {
            CodecFormat format{};
            if (!Probe(44100, 2, level.kilobits * 1000, format)) continue;
            format.wave.nAvgBytesPerSec = (format.wave.nAvgBytesPerSec & ~0xFFu) | static_cast<DWORD>(level.level);
            format.qualityBased = true;
            built.quality.push_back(format);
        }
        return built;
    }();
    return tables;
}

bool Same(const WAVEFORMATEX& a, const WAVEFORMATEX& b)
{
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.nBlockAlign == b.nBlockAlign &&
           a.wBitsPerSample == b.wBitsPerSample;
}

}  // namespace

std::span<const CodecFormat> CodecFormats(bool qualityBased)
{
    const Tables& tables = BuiltTables();
    return qualityBased ? tables.quality : tables.constant;
}

const CodecFormat* FindCodecFormat(const WAVEFORMATEX& wave)
{
    for (bool quality : {false, true})
        for (const CodecFormat& format : CodecFormats(quality))
            if (Same(format.wave, wave)) return &format;
    return nullptr;
}

}  // namespace wmvcore
