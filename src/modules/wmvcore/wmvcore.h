// The Windows-Media-style interface of the wmvcore module: two C entry points
// that hand out reference-counted C++ objects for building a writer profile
// from the codec's formats and writing an audio file with it. The module
// exports the entry points; the WMA encoder resolves them with dlsym. Both
// include this header, so the object layouts are fixed in one place.
//
// Every operation answers an HRESULT: S_OK, or a failure code (negative).
// Objects handed out through an out-parameter carry one reference for the
// caller, who releases it; QueryInterface adds one as well. Strings are
// UTF-16 with a terminating zero. An object is used from one thread at a
// time; a writer may call its status callbacks from any thread.
#pragma once

#include <cstdint>

namespace wmvcore {

using HRESULT = std::int32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using BOOL = std::int32_t;
using WCHAR = char16_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);  // a call out of order
inline constexpr HRESULT ASF_E_BUFFERTOOSMALL = static_cast<HRESULT>(0xC00D07D2);
inline constexpr HRESULT NS_E_INVALID_INPUT_FORMAT = static_cast<HRESULT>(0xC00D0BB8);
inline constexpr HRESULT NS_E_INVALID_OUTPUT_FORMAT = static_cast<HRESULT>(0xC00D0BB9);

struct GUID {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];

    friend bool operator==(const GUID&, const GUID&) = default;
};

// {TTTTTTTT-0000-0010-8000-00AA00389B71}: the media subtype of an audio
// format tag, and of the audio major type "auds".
constexpr GUID AudioGuid(std::uint32_t tag) { return {tag, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}; }

inline constexpr GUID WMMEDIATYPE_Audio = AudioGuid(0x73647561);
inline constexpr GUID WMMEDIASUBTYPE_PCM = AudioGuid(0x00000001);
inline constexpr GUID WMFORMAT_WaveFormatEx = {
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID IID_IWMStatusCallback = {
    0x6D7CDC70, 0x9888, 0x11D3, {0x8E, 0xDC, 0x00, 0xC0, 0x4F, 0x61, 0x09, 0xCF}};
inline constexpr GUID IID_IWMCodecInfo3 = {
    0x7E51F487, 0x4D93, 0x4F98, {0x8A, 0xB4, 0x27, 0xD0, 0x56, 0x5A, 0xDC, 0x51}};
inline constexpr GUID IID_IWMHeaderInfo = {
    0x96406BDA, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};
inline constexpr GUID IID_IWMHeaderInfo3 = {
    0x15CC68E3, 0x27CC, 0x4ECD, {0xB2, 0x22, 0x3F, 0x5D, 0x02, 0xD8, 0x0B, 0xD5}};
inline constexpr GUID IID_IWMWriterAdvanced = {
    0x96406BE3, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};
inline constexpr GUID IID_IWMRegisterCallback = {
    0xCF4B1F99, 0x4DE2, 0x4E49, {0xA3, 0x63, 0x25, 0x27, 0x40, 0xD9, 0x9B, 0xC1}};

inline constexpr WORD WAVE_FORMAT_PCM = 0x0001;
inline constexpr WORD WAVE_FORMAT_WMAUDIO2 = 0x0161;  // Windows Media Audio 9 standard

enum WMT_VERSION : DWORD { WMT_VER_9_0 = 0x00090000 };
enum WMT_ATTR_DATATYPE : DWORD { WMT_TYPE_DWORD = 0, WMT_TYPE_STRING = 1, WMT_TYPE_BINARY = 2, WMT_TYPE_BOOL = 3 };
enum WMT_STATUS : DWORD { WMT_ERROR = 0, WMT_OPENED = 1, WMT_STARTED = 11, WMT_STOPPED = 12, WMT_CLOSED = 14 };

#pragma pack(push, 2)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // bytes of codec data that follow the structure
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct IUnknown;

// A media type. pbFormat points at cbFormat bytes: for WMFORMAT_WaveFormatEx
// a WAVEFORMATEX and its cbSize extra bytes.
struct WM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    DWORD lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    DWORD cbFormat;
    BYTE* pbFormat;
};

struct IUnknown {
    virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;

protected:
    virtual ~IUnknown() = default;  // objects go with their last Release
};

// A media type held by a stream configuration or an input.
struct IWMMediaProps : IUnknown {
    // With type null, *size receives the bytes needed: the WM_MEDIA_TYPE
    // followed by its format, to which pbFormat then points. With a buffer
    // smaller than that: ASF_E_BUFFERTOOSMALL.
    virtual HRESULT GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) = 0;
    virtual HRESULT SetMediaType(const WM_MEDIA_TYPE* type) = 0;  // copied
};

struct IWMInputMediaProps : IWMMediaProps {};

struct IWMStreamConfig : IWMMediaProps {
    virtual HRESULT GetBitrate(DWORD* bitsPerSecond) = 0;
    virtual HRESULT SetBitrate(DWORD bitsPerSecond) = 0;
    virtual HRESULT SetStreamNumber(WORD number) = 0;
    virtual HRESULT SetStreamName(const WCHAR* name) = 0;
    virtual HRESULT SetConnectionName(const WCHAR* name) = 0;
};

struct IWMProfile : IUnknown {
    virtual HRESULT SetName(const WCHAR* name) = 0;
    virtual HRESULT CreateNewStream(const GUID& streamType, IWMStreamConfig** config) = 0;
    virtual HRESULT AddStream(IWMStreamConfig* config) = 0;  // copied
    virtual HRESULT GetStreamCount(DWORD* count) = 0;
};

// The codecs of a major type and their formats. "_VBRENABLED" (WMT_TYPE_BOOL,
// a 4-byte BOOL) chooses which formats a codec lists: constant bit rate
// (false, the default) or quality-based (true).
struct IWMCodecInfo3 : IUnknown {
    virtual HRESULT GetCodecInfoCount(const GUID& majorType, DWORD* count) = 0;
    virtual HRESULT GetCodecFormatCount(const GUID& majorType, DWORD codec, DWORD* count) = 0;
    virtual HRESULT GetCodecFormat(const GUID& majorType, DWORD codec, DWORD format, IWMStreamConfig** config) = 0;
    virtual HRESULT SetCodecEnumerationSetting(const GUID& majorType, DWORD codec, const WCHAR* name,
                                               WMT_ATTR_DATATYPE type, const BYTE* value, DWORD size) = 0;
};

// QueryInterface gives IID_IWMCodecInfo3.
struct IWMProfileManager : IUnknown {
    virtual HRESULT CreateEmptyProfile(WMT_VERSION version, IWMProfile** profile) = 0;
};

struct INSSBuffer : IUnknown {
    virtual HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) = 0;
    virtual HRESULT GetMaxLength(DWORD* length) = 0;
    virtual HRESULT SetLength(DWORD length) = 0;
};

struct IWMStatusCallback : IUnknown {
    virtual HRESULT OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE type, BYTE* value,
                             void* context) = 0;
};

struct IWMRegisterCallback : IUnknown {
    virtual HRESULT Advise(IWMStatusCallback* callback, void* context) = 0;
    virtual HRESULT Unadvise(IWMStatusCallback* callback, void* context) = 0;
};

// QueryInterface gives IID_IWMRegisterCallback.
struct IWMWriterSink : IUnknown {};

struct IWMWriterAdvanced : IUnknown {
    virtual HRESULT GetSinkCount(DWORD* count) = 0;
    virtual HRESULT GetSink(DWORD index, IWMWriterSink** sink) = 0;
};

// Attributes of the file's header; stream 0 is the file as a whole. Strings
// are WMT_TYPE_STRING with `length` in bytes, terminator included.
struct IWMHeaderInfo : IUnknown {
    virtual HRESULT SetAttribute(WORD stream, const WCHAR* name, WMT_ATTR_DATATYPE type, const BYTE* value,
                                 WORD length) = 0;
};

// Attributes of any size. Here only file-wide binary ones (WM/Picture) in
// language 0; they are added to the header once the file is complete.
// `index` may be null.
struct IWMHeaderInfo3 : IUnknown {
    virtual HRESULT AddAttribute(WORD stream, const WCHAR* name, WORD* index, WMT_ATTR_DATATYPE type, WORD language,
                                 const BYTE* value, DWORD length) = 0;
};

// Writes one file: output name, profile, input properties and attributes
// first; then BeginWriting, samples, EndWriting. The file is created when the
// output name is set. Failures while encoding or writing a sample are
// reported to the status callbacks registered on sink 0 (WMT_ERROR with the
// failure code) and stop the writing; EndWriting then fails too. QueryInterface
// gives IID_IWMHeaderInfo, IID_IWMHeaderInfo3 and IID_IWMWriterAdvanced.
struct IWMWriter : IUnknown {
    virtual HRESULT SetProfile(IWMProfile* profile) = 0;
    virtual HRESULT SetOutputFilename(const WCHAR* path) = 0;
    virtual HRESULT GetInputCount(DWORD* count) = 0;
    virtual HRESULT GetInputProps(DWORD input, IWMInputMediaProps** props) = 0;
    virtual HRESULT SetInputProps(DWORD input, IWMInputMediaProps* props) = 0;
    virtual HRESULT BeginWriting() = 0;
    virtual HRESULT EndWriting() = 0;
    virtual HRESULT AllocateSample(DWORD size, INSSBuffer** sample) = 0;
    // `time` in 100-nanosecond units.
    virtual HRESULT WriteSample(DWORD input, QWORD time, DWORD flags, INSSBuffer* sample) = 0;
};

}  // namespace wmvcore

extern "C" {
typedef wmvcore::HRESULT (*WMCreateWriterFunction)(wmvcore::IUnknown* reserved, wmvcore::IWMWriter** writer);
typedef wmvcore::HRESULT (*WMCreateProfileManagerFunction)(wmvcore::IWMProfileManager** manager);
}
