// The lame_enc module: BladeEnc-style entry points over libmp3lame.

#define BE_API __attribute__((visibility("default")))

#include "modules/lame_enc/lame_enc.h"
#include "modules/lame_enc/stream_config.h"
#include "platform/utf.h"

#include <lame.h>

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tesslow {

namespace {

// One open encoding stream: the library context and the sizes agreed with the
// caller when it was opened.
struct Stream {
    Stream() = default;
    ~Stream()
    {
        if (lame) lame_close(lame);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    lame_t lame = nullptr;
    int channels = 2;
    std::uint32_t chunkSamples = 0;  // 16-bit samples per beEncodeChunk, all channels
    std::uint32_t bufferSize = 0;    // output bytes the caller provides per call
};

// Hands out the 32-bit handles of the interface. A call in progress keeps its
// stream alive through its own reference, so a concurrent close of the same
// handle cannot free the context under it.
class StreamTable {
public:
    HBE_STREAM Add(std::shared_ptr<Stream> stream)
    {
        std::lock_guard lock(mutex_);
        if (streams_.size() >= kMaxStreams) return 0;
        while (next_ == 0 || streams_.count(next_)) ++next_;
        const HBE_STREAM handle = next_++;
        streams_.emplace(handle, std::move(stream));
        return handle;
    }

    std::shared_ptr<Stream> Find(HBE_STREAM handle)
    {
        std::lock_guard lock(mutex_);
        auto it = streams_.find(handle);
        return it == streams_.end() ? nullptr : it->second;
    }

    bool Remove(HBE_STREAM handle)
    {
        std::shared_ptr<Stream> removed;  // released after the lock
        std::lock_guard lock(mutex_);
        auto it = streams_.find(handle);
        if (it == streams_.end()) return false;
        removed = std::move(it->second);
        streams_.erase(it);
        return true;
    }

private:
    static constexpr std::size_t kMaxStreams = 4096;
    std::mutex mutex_;
    std::unordered_map<HBE_STREAM, std::shared_ptr<Stream>> streams_;
    HBE_STREAM next_ = 1;
};

StreamTable& Streams()
{
    static StreamTable table;
    return table;
}

// Runs the body of an entry point: nothing may throw across the C interface,
// and the only thing that can throw here is a failed allocation.
template <typename Body>
BE_ERR Guarded(Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return BE_ERR_NO_MORE_HANDLES;
    }
}

BE_ERR WriteInfoTag(HBE_STREAM handle, const char* path)
{
    const auto stream = Streams().Find(handle);
    if (!stream) return BE_ERR_INVALID_HANDLE;
    if (!lame_get_bWriteVbrTag(stream->lame)) return BE_ERR_SUCCESSFUL;
    if (!path) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    // The library reads the start of the file to step over an ID3v2 tag, then
    // overwrites the frame it reserved there.
    std::FILE* file = std::fopen(path, "rb+e");
    if (!file) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    lame_mp3_tags_fid(stream->lame, file);
    return std::fclose(file) == 0 ? BE_ERR_SUCCESSFUL : BE_ERR_INVALID_FORMAT_PARAMETERS;
}

}  // namespace

}  // namespace tesslow

using tesslow::Guarded;
using tesslow::Stream;
using tesslow::Streams;

BE_ERR beInitStream(const BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize, HBE_STREAM* stream)
{
    return Guarded([&]() -> BE_ERR {
        if (!config || !samples || !bufferSize || !stream) return BE_ERR_INVALID_FORMAT_PARAMETERS;
        auto opened = std::make_shared<Stream>();
        opened->lame = lame_init();
        if (!opened->lame) return BE_ERR_NO_MORE_HANDLES;
        if (const BE_ERR error = tesslow::ConfigureStream(opened->lame, *config)) return error;

        opened->channels = lame_get_num_channels(opened->lame);
        const auto frameSamples = static_cast<std::uint32_t>(lame_get_framesize(opened->lame));  // per channel
        opened->chunkSamples = frameSamples * static_cast<std::uint32_t>(opened->channels);
        // The library's own bound for the output of one call: 1.25 × samples + 7200.
        opened->bufferSize = frameSamples + frameSamples / 4 + 1 + 7200;

        const std::uint32_t chunkSamples = opened->chunkSamples, outputSize = opened->bufferSize;
        const HBE_STREAM handle = Streams().Add(std::move(opened));
        if (handle == 0) return BE_ERR_NO_MORE_HANDLES;
        *samples = chunkSamples;
        *bufferSize = outputSize;
        *stream = handle;
        return BE_ERR_SUCCESSFUL;
    });
}

BE_ERR beEncodeChunk(HBE_STREAM handle, uint32_t samples, const int16_t* pcm, uint8_t* output, uint32_t* outputBytes)
{
    if (!outputBytes) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    *outputBytes = 0;
    const auto stream = Streams().Find(handle);
    if (!stream) return BE_ERR_INVALID_HANDLE;
    if (samples > stream->chunkSamples || (samples > 0 && !pcm) || !output) return BE_ERR_INVALID_FORMAT_PARAMETERS;

    // A trailing half of a stereo frame cannot be encoded and is dropped.
    const int frames = static_cast<int>(samples) / stream->channels;
    const int size = static_cast<int>(stream->bufferSize);
    const int produced =
        stream->channels == 1
            ? lame_encode_buffer(stream->lame, pcm, pcm, frames, output, size)
            // The library copies the samples in; it takes them non-const only by its old signature.
            : lame_encode_buffer_interleaved(stream->lame, const_cast<int16_t*>(pcm), frames, output, size);
    if (produced < 0) return produced == -1 ? BE_ERR_BUFFER_TOO_SMALL : BE_ERR_INVALID_FORMAT_PARAMETERS;
    *outputBytes = static_cast<uint32_t>(produced);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beDeinitStream(HBE_STREAM handle, uint8_t* output, uint32_t* outputBytes)
{
    if (!outputBytes) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    *outputBytes = 0;
    const auto stream = Streams().Find(handle);
    if (!stream) return BE_ERR_INVALID_HANDLE;
    if (!output) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    const int produced = lame_encode_flush(stream->lame, output, static_cast<int>(stream->bufferSize));
    if (produced < 0) return produced == -1 ? BE_ERR_BUFFER_TOO_SMALL : BE_ERR_INVALID_FORMAT_PARAMETERS;
    *outputBytes = static_cast<uint32_t>(produced);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beCloseStream(HBE_STREAM handle)
{
    return Streams().Remove(handle) ? BE_ERR_SUCCESSFUL : BE_ERR_INVALID_HANDLE;
}

BE_ERR beWriteInfoTag(HBE_STREAM handle, const char* path)
{
    return Guarded([&] { return tesslow::WriteInfoTag(handle, path); });
}

BE_ERR beWriteInfoTagW(HBE_STREAM handle, const wchar_t* path)
{
    return Guarded([&]() -> BE_ERR {
        if (!path) return tesslow::WriteInfoTag(handle, nullptr);
        std::string utf8;
        for (const wchar_t* c = path; *c; ++c) {
            const auto code = static_cast<char32_t>(*c);
            if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return BE_ERR_INVALID_FORMAT_PARAMETERS;
            tesslow::AppendUtf8(utf8, code);
        }
        return tesslow::WriteInfoTag(handle, utf8.c_str());
    });
}
