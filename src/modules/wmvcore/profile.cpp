#include "modules/wmvcore/profile.h"

#include "modules/wmvcore/codec_formats.h"

#include <algorithm>
#include <new>

namespace wmvcore {

bool ReadString(const WCHAR* text, std::u16string& out)
{
    if (!text) return false;
    out = text;
    return true;
}

HRESULT StreamConfig::SetMediaType(const WM_MEDIA_TYPE* type)
{
    if (!type) return E_INVALIDARG;
    settings_.type = MediaType(*type);
    return S_OK;
}

HRESULT StreamConfig::GetBitrate(DWORD* bitsPerSecond)
{
    if (!bitsPerSecond) return E_INVALIDARG;
    *bitsPerSecond = settings_.bitRate;
    return S_OK;
}

HRESULT StreamConfig::SetBitrate(DWORD bitsPerSecond)
{
    settings_.bitRate = bitsPerSecond;
    return S_OK;
}

HRESULT StreamConfig::SetStreamNumber(WORD number)
{
    if (number < 1 || number > 63) return E_INVALIDARG;
    settings_.number = number;
    return S_OK;
}

HRESULT StreamConfig::SetStreamName(const WCHAR* name)
{
    return ReadString(name, settings_.name) ? S_OK : E_INVALIDARG;
}

HRESULT StreamConfig::SetConnectionName(const WCHAR* name)
{
    return ReadString(name, settings_.connection) ? S_OK : E_INVALIDARG;
}

HRESULT Profile::SetName(const WCHAR* name) { return ReadString(name, name_) ? S_OK : E_INVALIDARG; }

HRESULT Profile::CreateNewStream(const GUID& streamType, IWMStreamConfig** config)
{
    if (!config) return E_INVALIDARG;
    if (!(streamType == WMMEDIATYPE_Audio)) return E_INVALIDARG;  // an audio-only runtime
    *config = new (std::nothrow) StreamConfig;
    return *config ? S_OK : E_OUTOFMEMORY;
}

HRESULT Profile::AddStream(IWMStreamConfig* config)
{
    auto* stream = dynamic_cast<StreamConfig*>(config);
    if (!stream || stream->Settings().type.Empty() || stream->Settings().number == 0) return E_INVALIDARG;
    const WORD number = stream->Settings().number;
    if (std::any_of(streams_.begin(), streams_.end(), [&](const StreamSettings& s) { return s.number == number; }))
        return E_INVALIDARG;
    streams_.push_back(stream->Settings());
    return S_OK;
}

HRESULT Profile::GetStreamCount(DWORD* count)
{
    if (!count) return E_INVALIDARG;
    *count = static_cast<DWORD>(streams_.size());
    return S_OK;
}

HRESULT CodecInfo::GetCodecInfoCount(const GUID& majorType, DWORD* count)
{
    if (!count) return E_INVALIDARG;
    *count = majorType == WMMEDIATYPE_Audio ? 1 : 0;
    return S_OK;
}

HRESULT CodecInfo::GetCodecFormatCount(const GUID& majorType, DWORD codec, DWORD* count)
{
    if (!count || !(majorType == WMMEDIATYPE_Audio) || codec != 0) return E_INVALIDARG;
    *count = static_cast<DWORD>(CodecFormats(qualityBased_).size());
    return S_OK;
}

HRESULT CodecInfo::GetCodecFormat(const GUID& majorType, DWORD codec, DWORD format, IWMStreamConfig** config)
{
    if (!config || !(majorType == WMMEDIATYPE_Audio) || codec != 0) return E_INVALIDARG;
    const auto formats = CodecFormats(qualityBased_);
    if (format >= formats.size()) return E_INVALIDARG;
    const CodecFormat& chosen = formats[format];
    StreamSettings settings;
    settings.type = MediaType::Audio(AudioGuid(chosen.wave.wFormatTag), chosen.wave, chosen.codecData,
                                     chosen.wave.nBlockAlign);
    settings.bitRate = chosen.qualityBased ? 0 : chosen.wave.nAvgBytesPerSec * 8;
    *config = new (std::nothrow) StreamConfig(std::move(settings));
    return *config ? S_OK : E_OUTOFMEMORY;
}

HRESULT CodecInfo::SetCodecEnumerationSetting(const GUID& majorType, DWORD codec, const WCHAR* name,
                                              WMT_ATTR_DATATYPE type, const BYTE* value, DWORD size)
{
    if (!(majorType == WMMEDIATYPE_Audio) || codec != 0 || !name || !value) return E_INVALIDARG;
    if (std::u16string_view(name) != u"_VBRENABLED" || type != WMT_TYPE_BOOL || size != sizeof(BOOL))
        return E_INVALIDARG;
    BOOL enabled;
    std::copy(value, value + sizeof enabled, reinterpret_cast<BYTE*>(&enabled));
    qualityBased_ = enabled != 0;
    return S_OK;
}

HRESULT ProfileManager::CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile)
{
    if (!profile || version != WMT_VER_9_0) return E_INVALIDARG;
    *profile = new (std::nothrow) Profile;
    return *profile ? S_OK : E_OUTOFMEMORY;
}

void* ProfileManager::Extra(const GUID& iid)
{
    // Each answer is a codec information object of its own, with its own
    // enumeration setting; QueryInterface gives the caller its reference.
    if (!(iid == IID_IWMCodecInfo3)) return nullptr;
    return static_cast<IWMCodecInfo3*>(new (std::nothrow) CodecInfo);
}

}  // namespace wmvcore
