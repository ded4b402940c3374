#include "encoding/wma_profile.h"

#include "encoding/encoder_exception.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

namespace {

using namespace wmvcore;

[[noreturn]] void ProfileError(int step)
{
    throw EncoderException("wma profile creation error #" + std::to_string(step));
}

void Check(HRESULT result, int step)
{
    if (result < 0) ProfileError(step);
}

[[noreturn]] void NoFormat() { throw EncoderException("wma codec is improperly installed, please reinstall"); }

// A media type as the runtime hands it out: the WM_MEDIA_TYPE with its
// format bytes after it.
class HeldMediaType {
public:
    bool Read(IWMMediaProps& props)
    {
        DWORD size = 0;
        if (props.GetMediaType(nullptr, &size) < 0 || size < sizeof(WM_MEDIA_TYPE)) return false;
        bytes_.assign(size, 0);
        return props.GetMediaType(Type(), &size) >= 0;
    }
    WM_MEDIA_TYPE* Type() { return reinterpret_cast<WM_MEDIA_TYPE*>(bytes_.data()); }
    // The WAVEFORMATEX of a WaveFormatEx type.
    std::optional<WAVEFORMATEX> Wave()
    {
        const WM_MEDIA_TYPE* type = Type();
        if (!(type->formattype == WMFORMAT_WaveFormatEx) || type->cbFormat < sizeof(WAVEFORMATEX) ||
            !type->pbFormat)
            return std::nullopt;
        WAVEFORMATEX wave;
        std::memcpy(&wave, type->pbFormat, sizeof wave);
        return wave;
    }
    // The WAVEFORMATEX and the codec bytes after it.
    std::vector<BYTE> Format()
    {
        const WM_MEDIA_TYPE* type = Type();
        return {type->pbFormat, type->pbFormat + type->cbFormat};
    }

private:
    std::vector<BYTE> bytes_;
};

struct ProfileStart {
    ComPtr<IWMProfile> profile;
    ComPtr<IWMCodecInfo3> codecs;
    DWORD codecCount = 0;
};

// Steps 1 of both builders, numbered from `firstStep`.
ProfileStart StartProfile(const WmvCoreLibrary& runtime, int firstStep)
{
    ComPtr<IWMProfileManager> manager;
    Check(runtime.CreateProfileManager(manager.Out()), firstStep);
    ProfileStart start;
    Check(manager->CreateEmptyProfile(WMT_VER_9_0, start.profile.Out()), firstStep + 1);
    Check(start.profile->SetName(u"Custom profile"), firstStep + 2);
    if (manager.As(IID_IWMCodecInfo3, start.codecs) < 0) ProfileError(firstStep + 3);
    Check(start.codecs->GetCodecInfoCount(WMMEDIATYPE_Audio, &start.codecCount), firstStep + 3);
    return start;
}

void EnableQualityFormats(IWMCodecInfo3& codecs, DWORD codec, bool enabled)
{
    const BOOL value = enabled ? 1 : 0;
    (void)codecs.SetCodecEnumerationSetting(WMMEDIATYPE_Audio, codec, u"_VBRENABLED", WMT_TYPE_BOOL,
                                            reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool Matches(const WAVEFORMATEX& wave, std::uint32_t sampleRate, std::uint16_t channels)
{
    return wave.nSamplesPerSec == sampleRate && wave.nChannels == channels && wave.wFormatTag == WAVE_FORMAT_WMAUDIO2;
}

// The audio stream steps of both builders, numbered from `firstStep`.
ComPtr<IWMStreamConfig> NewAudioStream(IWMProfile& profile, int firstStep)
{
    ComPtr<IWMStreamConfig> stream;
    Check(profile.CreateNewStream(WMMEDIATYPE_Audio, stream.Out()), firstStep);
    Check(stream->SetStreamNumber(1), firstStep + 1);
    Check(stream->SetStreamName(u"Audio Stream"), firstStep + 2);
    Check(stream->SetConnectionName(u"Audio"), firstStep + 3);
    return stream;
}

}  // namespace

ComPtr<IWMProfile> BuildConstantRateProfile(const WmvCoreLibrary& runtime, std::int32_t bitRate,
                                            std::uint32_t sampleRate, std::uint16_t channels)
{
    ProfileStart start = StartProfile(runtime, 1);
    std::optional<WAVEFORMATEX> chosen;
    std::vector<BYTE> chosenFormat;
    for (DWORD codec = 0; codec < start.codecCount; ++codec) {
        EnableQualityFormats(*start.codecs, codec, false);
        DWORD formats = 0;
        Check(start.codecs->GetCodecFormatCount(WMMEDIATYPE_Audio, codec, &formats), 5);
        for (DWORD index = 0; index < formats; ++index) {
            ComPtr<IWMStreamConfig> config;
            Check(start.codecs->GetCodecFormat(WMMEDIATYPE_Audio, codec, index, config.Out()), 6);
            HeldMediaType type;
            if (!type.Read(*config)) continue;
            const auto wave = type.Wave();
            if (!wave || !Matches(*wave, sampleRate, channels) ||
                std::llabs(static_cast<long long>(wave->nAvgBytesPerSec) * 8 - bitRate) > 249)
                continue;
            if (chosen && chosen->nBlockAlign > wave->nBlockAlign) continue;
            chosen = wave;
            chosenFormat = type.Format();
        }
    }
    if (!chosen) NoFormat();

    WM_MEDIA_TYPE mediaType{};
    mediaType.majortype = WMMEDIATYPE_Audio;
    mediaType.subtype = AudioGuid(chosen->wFormatTag);
    mediaType.bFixedSizeSamples = 1;
    mediaType.bTemporalCompression = 0;
    mediaType.lSampleSize = chosen->nBlockAlign;
    mediaType.formattype = WMFORMAT_WaveFormatEx;
    mediaType.cbFormat = static_cast<DWORD>(sizeof(WAVEFORMATEX) + chosen->cbSize);
    chosenFormat.resize(mediaType.cbFormat, 0);
    mediaType.pbFormat = chosenFormat.data();

    ComPtr<IWMStreamConfig> stream = NewAudioStream(*start.profile, 7);
    Check(stream->SetBitrate(chosen->nAvgBytesPerSec * 8), 11);
    Check(stream->SetMediaType(&mediaType), 12);
    Check(start.profile->AddStream(stream.Get()), 13);
    return std::move(start.profile);
}

ComPtr<IWMProfile> BuildQualityProfile(const WmvCoreLibrary& runtime, double quality, std::uint32_t sampleRate,
                                       std::uint16_t channels)
{
    ProfileStart start = StartProfile(runtime, 14);
    int bestDistance = 200;
    std::optional<std::pair<DWORD, DWORD>> best;  // codec, format
    for (DWORD codec = 0; codec < start.codecCount; ++codec) {
        EnableQualityFormats(*start.codecs, codec, true);
        DWORD formats = 0;
        Check(start.codecs->GetCodecFormatCount(WMMEDIATYPE_Audio, codec, &formats), 18);
        for (DWORD index = 0; index < formats; ++index) {
            ComPtr<IWMStreamConfig> config;
            Check(start.codecs->GetCodecFormat(WMMEDIATYPE_Audio, codec, index, config.Out()), 19);
            HeldMediaType type;
            if (!type.Read(*config)) continue;
            const auto wave = type.Wave();
            if (!wave) continue;
            // A quality-based format carries its level in the low byte of
            // its average rate. Levels below the target wrap round above it.
            const int level = static_cast<int>(wave->nAvgBytesPerSec & 0xFF);
            int distance = static_cast<int>(level - quality * 100);
            if (distance < 0) distance += 100;
            if (Matches(*wave, sampleRate, channels) && distance < bestDistance) {
                bestDistance = distance;
                best = std::make_pair(codec, index);
            }
        }
    }
    if (!best) NoFormat();

    ComPtr<IWMStreamConfig> config;
    Check(start.codecs->GetCodecFormat(WMMEDIATYPE_Audio, best->first, best->second, config.Out()), 20);
    HeldMediaType type;
    if (!type.Read(*config)) ProfileError(20);

    ComPtr<IWMStreamConfig> stream = NewAudioStream(*start.profile, 21);
    Check(stream->SetMediaType(type.Type()), 25);
    Check(start.profile->AddStream(stream.Get()), 26);
    return std::move(start.profile);
}

}  // namespace tesslow
