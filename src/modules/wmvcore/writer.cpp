#include "modules/wmvcore/writer.h"

#include "modules/wmvcore/codec_formats.h"
#include "platform/utf.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace wmvcore {

namespace {

class InputProps final : public RefCounted<IWMInputMediaProps> {
public:
    explicit InputProps(MediaType type) : type_(std::move(type)) {}
    HRESULT GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override { return type_.CopyOut(type, size); }
    HRESULT SetMediaType(const WM_MEDIA_TYPE* type) override
    {
        if (!type) return E_INVALIDARG;
        type_ = MediaType(*type);
        return S_OK;
    }
    const MediaType& Type() const { return type_; }

private:
    MediaType type_;
};

class Sample final : public RefCounted<INSSBuffer> {
public:
    explicit Sample(DWORD size) : bytes_(size) {}
    HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) override
    {
        if (!buffer || !length) return E_INVALIDARG;
        *buffer = bytes_.data();
        *length = length_;
        return S_OK;
    }
    HRESULT GetMaxLength(DWORD* length) override
    {
        if (!length) return E_INVALIDARG;
        *length = static_cast<DWORD>(bytes_.size());
        return S_OK;
    }
    HRESULT SetLength(DWORD length) override
    {
        if (length > bytes_.size()) return E_INVALIDARG;
        length_ = length;
        return S_OK;
    }

private:
    std::vector<BYTE> bytes_;
    DWORD length_ = 0;
};

class HeaderInfo final : public RefCounted<IWMHeaderInfo> {
public:
    explicit HeaderInfo(std::shared_ptr<WriterState> state) : state_(std::move(state)) {}
    HRESULT SetAttribute(WORD stream, const WCHAR* name, WMT_ATTR_DATATYPE type, const BYTE* value,
                         WORD length) override
    {
        // File-wide text attributes; the muxer writes them under their names.
        if (stream != 0 || !name || type != WMT_TYPE_STRING || (length > 0 && !value) || length % 2 != 0)
            return E_INVALIDARG;
        if (state_->output) return E_UNEXPECTED;  // the header is written already
        std::u16string text(length / 2, u'\0');
        if (length > 0) std::memcpy(text.data(), value, length);
        if (const auto end = text.find(u'\0'); end != std::u16string::npos) text.resize(end);
        std::string key = tesslow::Utf16ToUtf8(name);
        std::string utf8 = tesslow::Utf16ToUtf8(text);
        for (auto& attribute : state_->attributes) {
            if (attribute.first == key) {
                attribute.second = std::move(utf8);
                return S_OK;
            }
        }
        state_->attributes.emplace_back(std::move(key), std::move(utf8));
        return S_OK;
    }

private:
    std::shared_ptr<WriterState> state_;
};

class HeaderInfo3 final : public RefCounted<IWMHeaderInfo3> {
public:
    explicit HeaderInfo3(std::shared_ptr<WriterState> state) : state_(std::move(state)) {}
    HRESULT AddAttribute(WORD stream, const WCHAR* name, WORD* index, WMT_ATTR_DATATYPE type, WORD language,
                         const BYTE* value, DWORD length) override
    {
        if (stream != 0 || !name || type != WMT_TYPE_BINARY || language != 0 || (length > 0 && !value))
            return E_INVALIDARG;
        if (state_->output) return E_UNEXPECTED;
        auto& attributes = state_->binaryAttributes;
        if (attributes.size() >= 0xFFFF) return E_INVALIDARG;
        attributes.emplace_back(tesslow::Utf16ToUtf8(name),
                                std::string(reinterpret_cast<const char*>(value), length));
        if (index) *index = static_cast<WORD>(attributes.size() - 1);
        return S_OK;
    }

private:
    std::shared_ptr<WriterState> state_;
};

class RegisterCallback final : public RefCounted<IWMRegisterCallback> {
public:
    explicit RegisterCallback(std::shared_ptr<WriterState> state) : state_(std::move(state)) {}
    HRESULT Advise(IWMStatusCallback* callback, void* context) override
    {
        if (!callback) return E_INVALIDARG;
        std::lock_guard lock(state_->callbackMutex);
        callback->AddRef();
        state_->callbacks.emplace_back(callback, context);
        return S_OK;
    }
    HRESULT Unadvise(IWMStatusCallback* callback, void* context) override
    {
        std::lock_guard lock(state_->callbackMutex);
        auto& callbacks = state_->callbacks;
        for (auto it = callbacks.begin(); it != callbacks.end(); ++it) {
            if (it->first == callback && it->second == context) {
                callbacks.erase(it);
                callback->Release();
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }

private:
    std::shared_ptr<WriterState> state_;
};

class Sink final : public RefCounted<IWMWriterSink> {
public:
    explicit Sink(std::shared_ptr<WriterState> state) : state_(std::move(state)) {}

protected:
    void* Extra(const GUID& iid) override
    {
        if (!(iid == IID_IWMRegisterCallback)) return nullptr;
        return static_cast<IWMRegisterCallback*>(new (std::nothrow) RegisterCallback(state_));
    }

private:
    std::shared_ptr<WriterState> state_;
};

class WriterAdvanced final : public RefCounted<IWMWriterAdvanced> {
public:
    explicit WriterAdvanced(std::shared_ptr<WriterState> state) : state_(std::move(state)) {}
    HRESULT GetSinkCount(DWORD* count) override
    {
        if (!count) return E_INVALIDARG;
        *count = 1;  // the file
        return S_OK;
    }
    HRESULT GetSink(DWORD index, IWMWriterSink** sink) override
    {
        if (!sink || index != 0) return E_INVALIDARG;
        *sink = new (std::nothrow) Sink(state_);
        return *sink ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<WriterState> state_;
};

// The PCM input a writer takes for its audio stream: 16-bit at the stream's
// rate and channel count.
MediaType PcmInputFor(const WAVEFORMATEX& output)
{
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = output.nChannels;
    pcm.nSamplesPerSec = output.nSamplesPerSec;
    pcm.nBlockAlign = static_cast<WORD>(2 * output.nChannels);
    pcm.nAvgBytesPerSec = pcm.nBlockAlign * output.nSamplesPerSec;
    pcm.wBitsPerSample = 16;
    return MediaType::Audio(WMMEDIASUBTYPE_PCM, pcm, {}, pcm.nBlockAlign);
}

}  // namespace

WriterState::~WriterState()
{
    output.reset();
    if (fd >= 0) ::close(fd);
    for (auto& [callback, context] : callbacks) callback->Release();
}

void WriterState::Report(HRESULT failure)
{
    failed = failure;
    std::lock_guard lock(callbackMutex);
    for (auto& [callback, context] : callbacks) callback->OnStatus(WMT_ERROR, failure, WMT_TYPE_DWORD, nullptr, context);
}

HRESULT Writer::SetProfile(IWMProfile* profile)
{
    auto* ours = dynamic_cast<Profile*>(profile);
    if (!ours) return E_INVALIDARG;
    if (state_->output) return E_UNEXPECTED;
    // One audio stream of a format the codec offers.
    const auto& streams = ours->Streams();
    if (streams.size() != 1) return NS_E_INVALID_OUTPUT_FORMAT;
    const auto wave = streams[0].type.Wave();
    if (!wave || !FindCodecFormat(*wave)) return NS_E_INVALID_OUTPUT_FORMAT;
    state_->streams = streams;
    state_->input = PcmInputFor(*wave);
    return S_OK;
}

HRESULT Writer::SetOutputFilename(const WCHAR* path)
{
    if (!path || !*path) return E_INVALIDARG;
    if (state_->output) return E_UNEXPECTED;
    const std::string name = tesslow::Utf16ToUtf8(path);
    // Read as well as written: binary attributes are added to the finished header.
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return ErrnoResult(errno);
    if (state_->fd >= 0) ::close(state_->fd);
    state_->fd = fd;
    return S_OK;
}

HRESULT Writer::GetInputCount(DWORD* count)
{
    if (!count) return E_INVALIDARG;
    *count = static_cast<DWORD>(state_->streams.size());
    return S_OK;
}

HRESULT Writer::GetInputProps(DWORD input, IWMInputMediaProps** props)
{
    if (!props || input != 0 || state_->streams.empty()) return E_INVALIDARG;
    *props = new (std::nothrow) InputProps(state_->input);
    return *props ? S_OK : E_OUTOFMEMORY;
}

HRESULT Writer::SetInputProps(DWORD input, IWMInputMediaProps* props)
{
    auto* ours = dynamic_cast<InputProps*>(props);
    if (!ours || input != 0 || state_->streams.empty()) return E_INVALIDARG;
    if (state_->output) return E_UNEXPECTED;
    // The codec takes 16-bit PCM at its own rate and channel count.
    const auto wave = ours->Type().Wave();
    const auto output = state_->streams[0].type.Wave();
    if (!wave || wave->wFormatTag != WAVE_FORMAT_PCM || wave->wBitsPerSample != 16 ||
        wave->nChannels != output->nChannels || wave->nSamplesPerSec != output->nSamplesPerSec)
        return NS_E_INVALID_INPUT_FORMAT;
    state_->input = ours->Type();
    return S_OK;
}

HRESULT Writer::BeginWriting()
{
    if (state_->output || state_->fd < 0 || state_->streams.empty()) return E_UNEXPECTED;
    const CodecFormat* format = FindCodecFormat(*state_->streams[0].type.Wave());
    state_->failed = S_OK;
    return AsfOutput::Open(state_->fd, *format, state_->attributes, state_->output);
}

HRESULT Writer::EndWriting()
{
    if (!state_->output) return state_->failed != S_OK ? state_->failed : E_UNEXPECTED;
    HRESULT result = state_->failed != S_OK ? state_->failed : state_->output->Finish();
    state_->output.reset();
    if (result == S_OK) {
        if (const int error = AddBinaryAttributes(state_->fd, state_->binaryAttributes); error != 0)
            result = error == EINVAL ? E_FAIL : ErrnoResult(error);
    }
    if (result == S_OK && ::fsync(state_->fd) != 0 && errno != EINVAL) result = ErrnoResult(errno);
    return result;
}

HRESULT Writer::AllocateSample(DWORD size, INSSBuffer** sample)
{
    if (!sample) return E_INVALIDARG;
    *sample = new (std::nothrow) Sample(size);
    return *sample ? S_OK : E_OUTOFMEMORY;
}

HRESULT Writer::WriteSample(DWORD input, QWORD, DWORD, INSSBuffer* sample)
{
    // Samples follow each other without gaps; their times are not needed.
    if (input != 0 || !sample) return E_INVALIDARG;
    if (!state_->output) return state_->failed != S_OK ? state_->failed : E_UNEXPECTED;
    if (state_->failed != S_OK) return state_->failed;
    BYTE* bytes = nullptr;
    DWORD length = 0;
    sample->GetBufferAndLength(&bytes, &length);
    const auto wave = state_->input.Wave();
    const std::size_t frames = length / wave->nBlockAlign;
    std::vector<std::int16_t> samples(frames * wave->nChannels);
    if (!samples.empty()) std::memcpy(samples.data(), bytes, samples.size() * sizeof(std::int16_t));
    // A failure stops the writing and goes to the status callbacks, as an
    // asynchronous writer reports it; the sample itself was taken.
    if (const HRESULT result = state_->output->Write(samples.data(), frames); result != S_OK)
        state_->Report(result);
    return S_OK;
}

void* Writer::Extra(const GUID& iid)
{
    if (iid == IID_IWMHeaderInfo) return static_cast<IWMHeaderInfo*>(new (std::nothrow) HeaderInfo(state_));
    if (iid == IID_IWMHeaderInfo3) return static_cast<IWMHeaderInfo3*>(new (std::nothrow) HeaderInfo3(state_));
    if (iid == IID_IWMWriterAdvanced)
        return static_cast<IWMWriterAdvanced*>(new (std::nothrow) WriterAdvanced(state_));
    return nullptr;
}

}  // namespace wmvcore
