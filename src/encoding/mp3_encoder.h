#pragma once

#include "encoding/byte_fifo.h"
#include "encoding/encoder.h"
#include "encoding/lame_enc_library.h"
#include "platform/unique_fd.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tesslow {

// Encodes 16-bit PCM to an MP3 file through the lame_enc module: an ID3v2.4
// tag in front of the audio, the module's frames (the first one rewritten with
// its information header), an ID3v1.1 tag behind them.
//
// Construction loads the module from the request's module folder before
// anything else, so a missing or broken module is reported before any
// question about an existing file; then the file is created, always
// replacing. The first Write writes the ID3v2 tag and opens the module's
// stream with the job's preset and the request's MP3ForceCBR setting. Writes of any size are cut into the module's chunk size through a
// fixed FIFO, without allocating. Finish encodes the remainder, flushes,
// closes the file, lets the module write its information header into the
// closed file, and appends the ID3v1 tag (a failure of that last step is not
// reported). An encoder that never received a Write leaves an empty file.
//
// Failures: "MP3 libraries are not installed", "MP3 libraries are broken",
// "file skipped", "cannot create file (...)" (construction); "write error",
// "unable to encode" (the module refused the stream; the ID3v2 tag is already
// written), "unexpected error" (the flush failed). The encoder never deletes
// its file. One thread at a time.
class CMP3Encoder final : public Encoder {
public:
    explicit CMP3Encoder(const EncoderRequest& request);
    ~CMP3Encoder() override;

    void Write(const void* pcm, unsigned byteCount, unsigned* consumed) override;
    void Finish() override;

    // The FIFO holds one rip block (61,152 bytes) plus less than one chunk.
    static constexpr std::size_t kFifoBytes = 262144;
    // Scratch for one chunk; the module's chunks are 1152 stereo frames (4608 bytes).
    static constexpr std::size_t kChunkBufferBytes = 8192;

private:
    void Start();
    void EncodeFromFifo(std::size_t byteCount);
    void WriteOutput(std::uint32_t byteCount);
    BE_ERR WriteInfoTag();

    const LameEncLibrary& library_;
    ByteFifo pending_;
    std::string path_;
    QualityPreset preset_;
    std::int32_t customValue_;
    bool forceCbr_;
    UniqueFd file_;
    bool notStarted_ = true;
    std::uint32_t samplesPerChunk_ = 0;
    std::vector<std::uint8_t> outBuffer_;
    HBE_STREAM stream_ = 0;
};

}  // namespace tesslow
