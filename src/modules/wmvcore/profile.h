#pragma once

#include "modules/wmvcore/media_type.h"
#include "modules/wmvcore/ref_counted.h"

#include <string>
#include <vector>

namespace wmvcore {

// What a stream configuration holds; profiles keep copies.
struct StreamSettings {
    MediaType type;
    DWORD bitRate = 0;
    WORD number = 0;
    std::u16string name;
    std::u16string connection;
};

class StreamConfig final : public RefCounted<IWMStreamConfig> {
public:
    explicit StreamConfig(StreamSettings settings = {}) : settings_(std::move(settings)) {}

    HRESULT GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override { return settings_.type.CopyOut(type, size); }
    HRESULT SetMediaType(const WM_MEDIA_TYPE* type) override;
    HRESULT GetBitrate(DWORD* bitsPerSecond) override;
    HRESULT SetBitrate(DWORD bitsPerSecond) override;
    HRESULT SetStreamNumber(WORD number) override;
    HRESULT SetStreamName(const WCHAR* name) override;
    HRESULT SetConnectionName(const WCHAR* name) override;

    const StreamSettings& Settings() const { return settings_; }

private:
    StreamSettings settings_;
};

// A profile: a name and audio streams. The writer takes only profiles made
// by this module.
class Profile final : public RefCounted<IWMProfile> {
public:
    HRESULT SetName(const WCHAR* name) override;
    HRESULT CreateNewStream(const GUID& streamType, IWMStreamConfig** config) override;
    // Needs a media type and a stream number from 1 to 63 not used yet.
    HRESULT AddStream(IWMStreamConfig* config) override;
    HRESULT GetStreamCount(DWORD* count) override;

    const std::vector<StreamSettings>& Streams() const { return streams_; }

private:
    std::u16string name_;
    std::vector<StreamSettings> streams_;
};

// The module's one audio codec and its formats (codec_formats.h).
class CodecInfo final : public RefCounted<IWMCodecInfo3> {
public:
    HRESULT GetCodecInfoCount(const GUID& majorType, DWORD* count) override;
    HRESULT GetCodecFormatCount(const GUID& majorType, DWORD codec, DWORD* count) override;
    HRESULT GetCodecFormat(const GUID& majorType, DWORD codec, DWORD format, IWMStreamConfig** config) override;
    HRESULT SetCodecEnumerationSetting(const GUID& majorType, DWORD codec, const WCHAR* name, WMT_ATTR_DATATYPE type,
                                       const BYTE* value, DWORD size) override;

private:
    bool qualityBased_ = false;  // the "_VBRENABLED" setting
};

class ProfileManager final : public RefCounted<IWMProfileManager> {
public:
    HRESULT CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile) override;

protected:
    void* Extra(const GUID& iid) override;
};

// Every string argument is a UTF-16 string with a terminator; null is refused.
bool ReadString(const WCHAR* text, std::u16string& out);

}  // namespace wmvcore
