#pragma once

#include "modules/wmvcore/wmvcore.h"

#include <optional>
#include <vector>

namespace wmvcore {

// A WM_MEDIA_TYPE held by value, its format bytes included.
class MediaType {
public:
    MediaType() = default;
    // Copies `type` and the cbFormat bytes it points at.
    explicit MediaType(const WM_MEDIA_TYPE& type);
    // An audio type for a WAVEFORMATEX and the codec bytes after it.
    static MediaType Audio(const GUID& subtype, const WAVEFORMATEX& wave, const std::vector<BYTE>& codecData,
                           DWORD sampleSize);

    bool Empty() const { return !set_; }
    // The GetMediaType protocol: the size needed, or the type with its format
    // bytes placed right after it.
    HRESULT CopyOut(WM_MEDIA_TYPE* type, DWORD* size) const;
    // The WAVEFORMATEX of an audio type, when it has a whole one.
    std::optional<WAVEFORMATEX> Wave() const;
    const WM_MEDIA_TYPE& Fields() const { return fields_; }

private:
    bool set_ = false;
    WM_MEDIA_TYPE fields_{};  // pbFormat is not used: the bytes are in format_
    std::vector<BYTE> format_;
};

}  // namespace wmvcore
