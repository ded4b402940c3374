#pragma once

#include "encoding/encoder.h"
#include "platform/unique_fd.h"

#include <cstdint>

namespace tesslow {

// Writes the PCM unchanged into a RIFF/WAVE file: a 46-byte header with an
// 18-byte "fmt " chunk, then the "data" chunk. No tags, no quality setting.
//
// The first Write writes the header with the sizes still open; Finish fills in
// the sizes (and the pad byte after odd data) and reports a failure to do so.
// A file destroyed without Finish (cancel, read error) still gets correct sizes
// for the bytes written so far. A track that delivered nothing stays a 0-byte
// file.
class CWaveEncoder final : public Encoder {
public:
    explicit CWaveEncoder(const EncoderRequest& request);
    ~CWaveEncoder() override;

    void Write(const void* pcm, unsigned byteCount, unsigned* consumed) override;
    void Finish() override;

private:
    bool CompleteSizes();

    UniqueFd file_;
    bool headerPending_ = true;
    bool sizesDone_ = false;
    std::uint32_t dataBytes_ = 0;
};

}  // namespace tesslow
