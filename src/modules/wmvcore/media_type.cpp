#include "modules/wmvcore/media_type.h"

#include <cstring>

namespace wmvcore {

MediaType::MediaType(const WM_MEDIA_TYPE& type) : set_(true), fields_(type)
{
    if (type.pbFormat && type.cbFormat > 0) format_.assign(type.pbFormat, type.pbFormat + type.cbFormat);
    fields_.cbFormat = static_cast<DWORD>(format_.size());
    fields_.pbFormat = nullptr;
    fields_.pUnk = nullptr;
}

MediaType MediaType::Audio(const GUID& subtype, const WAVEFORMATEX& wave, const std::vector<BYTE>& codecData,
                           DWORD sampleSize)
{
    MediaType type;
    type.set_ = true;
    type.fields_.majortype = WMMEDIATYPE_Audio;
    type.fields_.subtype = subtype;
    type.fields_.bFixedSizeSamples = 1;
    type.fields_.bTemporalCompression = 0;
    type.fields_.lSampleSize = sampleSize;
    type.fields_.formattype = WMFORMAT_WaveFormatEx;
    type.format_.resize(sizeof(WAVEFORMATEX));
    std::memcpy(type.format_.data(), &wave, sizeof wave);
    type.format_.insert(type.format_.end(), codecData.begin(), codecData.end());
    type.fields_.cbFormat = static_cast<DWORD>(type.format_.size());
    return type;
}

HRESULT MediaType::CopyOut(WM_MEDIA_TYPE* type, DWORD* size) const
{
    if (!size) return E_INVALIDARG;
    if (!set_) return E_UNEXPECTED;
    const auto needed = static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + format_.size());
    if (!type) {
        *size = needed;
        return S_OK;
    }
    if (*size < needed) {
        *size = needed;
        return ASF_E_BUFFERTOOSMALL;
    }
    *type = fields_;
    type->pbFormat = format_.empty() ? nullptr : reinterpret_cast<BYTE*>(type + 1);
    if (!format_.empty()) std::memcpy(type->pbFormat, format_.data(), format_.size());
    *size = needed;
    return S_OK;
}

std::optional<WAVEFORMATEX> MediaType::Wave() const
{
    if (!set_ || !(fields_.formattype == WMFORMAT_WaveFormatEx) || format_.size() < sizeof(WAVEFORMATEX))
        return std::nullopt;
    WAVEFORMATEX wave;
    std::memcpy(&wave, format_.data(), sizeof wave);
    if (format_.size() < sizeof(WAVEFORMATEX) + wave.cbSize) return std::nullopt;
    return wave;
}

}  // namespace wmvcore
