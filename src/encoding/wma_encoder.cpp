#include "encoding/wma_encoder.h"

#include "encoding/encoder_exception.h"
#include "encoding/picture_tags.h"
#include "encoding/output_file.h"
#include "encoding/tag_names.h"
#include "encoding/wma_profile.h"
#include "platform/format.h"
#include "platform/utf.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace tesslow {

namespace {

using namespace wmvcore;

std::string HexCode(const char* text, HRESULT code)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, text, static_cast<unsigned>(code));
    return buffer;
}

// The file system failure behind a Windows error code of the engine, or 0:
// disk full, access denied (a read-only folder), path not found, a file in
// the way, a file too large.
int ErrnoOf(HRESULT code)
{
    switch (static_cast<std::uint32_t>(code)) {
    case 0x80070070:
    case 0x80070027: return ENOSPC;
    case 0x80070005:
    case 0x80070013: return EACCES;
    case 0x80070003: return ENOENT;
    case 0x8007010B: return ENOTDIR;
    case 0x80070050:
    case 0x800700B7: return EEXIST;
    case 0x800700DF: return EFBIG;
    default: return 0;
    }
}

// MulDiv: value × numerator / denominator, rounded to the nearest.
std::uint64_t MulDiv(std::uint64_t value, std::uint64_t numerator, std::uint64_t denominator)
{
    return (value * numerator + denominator / 2) / denominator;
}

// A header string: UTF-16 with its terminator, short enough that its length
// in bytes fits the attribute's 16-bit length.
std::u16string AttributeText(const std::string& utf8)
{
    std::u16string text = Utf8ToUtf16(DisplayUtf8(utf8));
    constexpr std::size_t kMaxUnits = 0xFFFF / 2 - 1;
    if (text.size() > kMaxUnits) {
        text.resize(kMaxUnits);
        if ((text.back() & 0xFC00) == 0xD800) text.pop_back();  // no half of a pair
    }
    return text;
}

// A writer's call that failed: in plain words where its code tells a file
// system failure, else "write error".
EncoderException WriteFailure(HRESULT code)
{
    if (const int error = ErrnoOf(code)) return WriteError(error, HexCode("0x%08X", code));
    return EncoderException("write error");
}

}  // namespace

CWmaEncoder::CWmaEncoder(const EncoderRequest& request)
    : runtime_(LoadWmvCore(request.moduleFolder)), preset_(request.preset), customBitRate_(request.qualityValue)
{
    // The overwrite check and the folders; the writer creates the file.
    PrepareOutput(request);
    if (runtime_.CreateWriter(nullptr, writer_.Out()) < 0 || !writer_)
        throw EncoderException("cannot create WMA encoder");
    const std::u16string path = Utf8ToUtf16(request.path);
    if (const HRESULT result = writer_->SetOutputFilename(path.c_str()); result < 0)
        throw CreateError(ErrnoOf(result), HexCode("0x%08X", result));
}

CWmaEncoder::~CWmaEncoder()
{
    // A registration still held means the writing never ended: take the
    // callback back before the writer can outlive this object.
    if (registration_) registration_->Unadvise(this, nullptr);
}

HRESULT CWmaEncoder::QueryInterface(const GUID& iid, void** object)
{
    if (!object || !(iid == IID_IWMStatusCallback)) return E_FAIL;
    *object = static_cast<IWMStatusCallback*>(this);
    return S_OK;
}

HRESULT CWmaEncoder::OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE, BYTE*, void*)
{
    if (status == WMT_ERROR && !errorSignalled_) {
        // A failure of the file in plain words, the engine's code after them.
        const int error = ErrnoOf(result);
        errorText_ = error != 0 ? WriteError(error, HexCode("0x%08X", result)).Message()
                                : HexCode("WMA engine error 0x%08X", result);
        errorSignalled_ = true;
    }
    return S_OK;
}

void CWmaEncoder::SetTags()
{
    ComPtr<IWMHeaderInfo> header;
    if (writer_.As(IID_IWMHeaderInfo, header) < 0) return;
    const auto attributes = NamedTags(BuildTrackTags(tags, trackIndex, trackNumber), TagFormat::Asf);
    for (const auto& [name, value] : attributes) {
        const std::u16string key = Utf8ToUtf16(name);
        const std::u16string text = AttributeText(value);
        const auto bytes = static_cast<WORD>((text.size() + 1) * sizeof(char16_t));
        (void)header->SetAttribute(0, key.c_str(), WMT_TYPE_STRING, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    }
    ComPtr<IWMHeaderInfo3> large;
    if (const auto picture = AskCover(cover); picture && writer_.As(IID_IWMHeaderInfo3, large) >= 0) {
        const std::string value = AsfPictureValue(*picture);
        (void)large->AddAttribute(0, u"WM/Picture", nullptr, WMT_TYPE_BINARY, 0,
                                  reinterpret_cast<const BYTE*>(value.data()), static_cast<DWORD>(value.size()));
    }
}

void CWmaEncoder::Start()
{
    // (Windows enters a COM apartment here; the module needs none.)
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(channels);
    wave.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    wave.nAvgBytesPerSec = static_cast<DWORD>(bitsPerSample * channels * sampleRate / 8);
    wave.nBlockAlign = static_cast<WORD>(bitsPerSample * channels / 8);
    wave.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    wave.cbSize = 0;
    bytesPerSecond_ = static_cast<std::int32_t>(wave.nAvgBytesPerSec);
    WM_MEDIA_TYPE input{};
    input.majortype = WMMEDIATYPE_Audio;
    input.subtype = WMMEDIASUBTYPE_PCM;
    input.bFixedSizeSamples = 1;
    input.bTemporalCompression = 0;
    input.lSampleSize = 0;
    input.formattype = WMFORMAT_WaveFormatEx;
    input.pUnk = nullptr;
    input.cbFormat = sizeof wave;
    input.pbFormat = reinterpret_cast<BYTE*>(&wave);

    const auto rate = static_cast<std::uint32_t>(sampleRate);
    const auto channelCount = static_cast<std::uint16_t>(channels);
    ComPtr<IWMProfile> profile;
    if (sampleRate == 44100 && channels == 2 && preset_ != QualityPreset::Custom) {
        const double quality = preset_ == QualityPreset::Low ? 0.1 : preset_ == QualityPreset::Medium ? 0.5 : 0.74;
        profile = BuildQualityProfile(runtime_, quality, rate, channelCount);
    } else {
        profile = BuildConstantRateProfile(runtime_, customBitRate_, rate, channelCount);
    }

    if (writer_->SetProfile(profile.Get()) < 0) throw EncoderException("internal error #1592");
    DWORD inputs = 0;
    if (writer_->GetInputCount(&inputs) < 0) throw EncoderException("internal error #1593");
    ComPtr<IWMInputMediaProps> props;
    if (writer_->GetInputProps(0, props.Out()) >= 0) (void)props->SetMediaType(&input);
    if (!props || writer_->SetInputProps(0, props.Get()) < 0) throw EncoderException("internal error #1594");
    SetTags();
    if (writer_->BeginWriting() < 0) throw EncoderException("internal error #1595");
    elapsed_ = 0;

    ComPtr<IWMWriterAdvanced> advanced;
    ComPtr<IWMWriterSink> sink;
    if (writer_.As(IID_IWMWriterAdvanced, advanced) < 0 || advanced->GetSink(0, sink.Out()) < 0)
        throw EncoderException("internal error #1596");
    ComPtr<IWMRegisterCallback> registration;
    if (sink.As(IID_IWMRegisterCallback, registration) < 0 || registration->Advise(this, nullptr) < 0)
        throw EncoderException("internal error #1597");
    registration_ = std::move(registration);
    errorSignalled_ = false;
    notStarted_ = false;
}

void CWmaEncoder::Write(const void* pcm, unsigned byteCount, unsigned* consumed)
{
    if (!writer_) throw EncoderException("write error");  // finished already
    if (notStarted_) Start();

    ComPtr<INSSBuffer> sample;
    if (writer_->AllocateSample(byteCount, sample.Out()) < 0 || !sample) throw std::bad_alloc();
    BYTE* buffer = nullptr;
    DWORD length = 0;
    sample->GetBufferAndLength(&buffer, &length);
    if (byteCount > 0) std::memcpy(buffer, pcm, byteCount);
    sample->SetLength(byteCount);
    if (const HRESULT result = writer_->WriteSample(0, elapsed_ * 10000, 0, sample.Get()); result < 0)
        throw errorSignalled_ ? EncoderException(errorText_) : WriteFailure(result);
    elapsed_ += MulDiv(byteCount, 1000, static_cast<std::uint64_t>(bytesPerSecond_));
    if (errorSignalled_) throw EncoderException(errorText_);
    if (consumed) *consumed = byteCount;
}

void CWmaEncoder::Finish()
{
    if (notStarted_ || !writer_) return;
    if (const HRESULT result = writer_->EndWriting(); result < 0)
        throw errorSignalled_ ? EncoderException(errorText_) : WriteFailure(result);
    registration_->Unadvise(this, nullptr);
    registration_.Reset();
    writer_.Reset();
}

}  // namespace tesslow
