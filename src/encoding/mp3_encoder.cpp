#include "encoding/mp3_encoder.h"

#include "encoding/encoder_exception.h"
#include "encoding/id3_tags.h"
#include "encoding/mp3_stream_config.h"
#include "encoding/output_file.h"
#include "encoding/picture_tags.h"
#include "platform/fd_io.h"
#include "platform/utf.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tesslow {

CMP3Encoder::CMP3Encoder(const EncoderRequest& request)
    : library_(LoadLameEnc(request.moduleFolder)),
      pending_(kFifoBytes),
      path_(request.path),
      preset_(request.preset),
      customValue_(request.qualityValue),
      forceCbr_(request.mp3ForceCbr),
      file_(CreateOutput(request, CreateMode::Replace))
{
}

CMP3Encoder::~CMP3Encoder()
{
    if (!notStarted_) library_.CloseStream(stream_);
}

void CMP3Encoder::Start()
{
    std::string tag = BuildId3v2Tag(tags, trackIndex, trackNumber);
    if (const auto picture = AskCover(cover)) tag = AddId3v2Picture(std::move(tag), *picture);
    if (!tag.empty() && !WriteAll(file_.Get(), tag.data(), tag.size())) throw WriteError(errno);

    const BE_CONFIG config = MakeMp3StreamConfig({preset_, customValue_, forceCbr_, sampleRate, channels});
    std::uint32_t samples = 0, bufferSize = 0;
    HBE_STREAM stream = 0;
    if (bitsPerSample != 16 || library_.InitStream(&config, &samples, &bufferSize, &stream) != BE_ERR_SUCCESSFUL)
        throw EncoderException("unable to encode");
    stream_ = stream;
    notStarted_ = false;
    // A chunk must fit the scratch buffer and hold whole 16-bit samples.
    if (samples == 0 || samples * 2 > kChunkBufferBytes || bufferSize == 0) throw EncoderException("unable to encode");
    samplesPerChunk_ = samples;
    outBuffer_.resize(bufferSize);
}

void CMP3Encoder::Write(const void* pcm, unsigned byteCount, unsigned* consumed)
{
    if (notStarted_) Start();
    const std::size_t chunkBytes = std::size_t{samplesPerChunk_} * 2;
    const auto* bytes = static_cast<const std::uint8_t*>(pcm);
    std::size_t left = byteCount;
    // A block larger than the FIFO's free space goes in by parts.
    while (left > 0) {
        const std::size_t stored = pending_.Push(bytes, left);
        bytes += stored;
        left -= stored;
        while (pending_.Size() >= chunkBytes) EncodeFromFifo(chunkBytes);
    }
    if (consumed) *consumed = byteCount;
}

void CMP3Encoder::EncodeFromFifo(std::size_t byteCount)
{
    alignas(std::int16_t) std::uint8_t chunk[kChunkBufferBytes];
    const std::size_t taken = pending_.Pop(chunk, byteCount);
    std::uint32_t produced = 0;
    // The result is not checked: a refused chunk produces no output.
    library_.EncodeChunk(stream_, static_cast<std::uint32_t>(taken / 2), reinterpret_cast<const std::int16_t*>(chunk),
                         outBuffer_.data(), &produced);
    WriteOutput(produced);
}

void CMP3Encoder::WriteOutput(std::uint32_t byteCount)
{
    if (byteCount > outBuffer_.size()) throw EncoderException("unexpected error");
    if (byteCount > 0 && !WriteAll(file_.Get(), outBuffer_.data(), byteCount)) throw WriteError(errno);
}

void CMP3Encoder::Finish()
{
    if (notStarted_) return;
    const std::size_t chunkBytes = std::size_t{samplesPerChunk_} * 2;
    while (pending_.Size() > 0) EncodeFromFifo(std::min(pending_.Size(), chunkBytes));

    std::uint32_t produced = 0;
    if (library_.DeinitStream(stream_, outBuffer_.data(), &produced) != BE_ERR_SUCCESSFUL)
        throw EncoderException("unexpected error");
    WriteOutput(produced);
    // A failed close can be the first report of a failed write.
    if (::close(file_.Release()) != 0) throw WriteError(errno);

    // The file is complete only with its tags: a tag that cannot be written
    // fails the file.
    errno = 0;
    if (WriteInfoTag() != BE_ERR_SUCCESSFUL) throw WriteError(errno);

    const std::string tag = BuildId3v1Tag(tags, trackIndex, trackNumber);
    if (tag.empty()) return;
    UniqueFd file(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!file || !WriteAll(file.Get(), tag.data(), tag.size())) throw WriteError(errno);
}

BE_ERR CMP3Encoder::WriteInfoTag()
{
    // The wide entry point takes the path as UTF-32; a file name that is not
    // UTF-8 cannot travel that way and goes by its own bytes.
    if (library_.WriteInfoTagW && IsValidUtf8(path_)) {
        std::wstring wide;
        for (std::size_t pos = 0; pos < path_.size();) wide += static_cast<wchar_t>(DecodeUtf8(path_, pos));
        return library_.WriteInfoTagW(stream_, wide.c_str());
    }
    return library_.WriteInfoTag(stream_, path_.c_str());
}

}  // namespace tesslow
