#pragma once

#include "modules/wmvcore/codec_formats.h"
#include "modules/wmvcore/wmvcore.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace wmvcore {

// An ASF file written by FFmpeg: the wmav2 encoder at a codec format's bit
// rate, the ASF muxer, through a file descriptor it does not own (the muxer
// seeks back to complete the header, so it must be a regular file).
// Attributes are (name, value) pairs in UTF-8 and go into the header under
// their own names. Input is interleaved 16-bit PCM at the format's rate and
// channel count. Every call answers S_OK or a failure code; after a failure
// the output accepts nothing more.
class AsfOutput {
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    static HRESULT Open(int fd, const CodecFormat& format, const Attributes& attributes,
                        std::unique_ptr<AsfOutput>& output);
    ~AsfOutput();
    AsfOutput(const AsfOutput&) = delete;
    AsfOutput& operator=(const AsfOutput&) = delete;

    HRESULT Write(const std::int16_t* samples, std::size_t frames);
    // Encodes what is buffered (the last frame padded with silence),
    // completes the file and flushes it.
    HRESULT Finish();

private:
    explicit AsfOutput(int fd) : fd_(fd) {}
    HRESULT Fail(int averror);
    HRESULT SendFrame(bool last);
    HRESULT Drain();

    static int WritePacket(void* opaque, std::uint8_t* data, int size);
    static std::int64_t SeekFile(void* opaque, std::int64_t offset, int whence);

    int fd_;
    int lastErrno_ = 0;  // of the last write or seek that failed
    HRESULT failed_ = S_OK;
    AVFormatContext* muxer_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int channels_ = 0;
    int buffered_ = 0;            // samples per channel in frame_
    std::int64_t nextPts_ = 0;    // in samples
};

// A failure code for an errno: disk full, file too large, access denied, path
// not found, not a folder, or the generic failure.
HRESULT ErrnoResult(int error);

}  // namespace wmvcore
