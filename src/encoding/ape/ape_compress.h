#pragma once

#include "encoding/ape/frame_encoder.h"
#include "encoding/ape/io.h"
#include "encoding/ape/wave_format.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace tesslow::ape {

class Md5;

// Writes a Monkey's Audio file of version 3990 through a CIO: the
// descriptor, the header and a seek table reserved at Start, the frames as
// the audio arrives, and at Finish the completed descriptor (with the MD5 of
// everything after it), header and seek table written over the reserved
// ones. The CIO must therefore be seekable; it is not owned, and its
// position is left at the end of the file.
//
// Takes 16-bit PCM, mono or stereo, at the levels 1000 to 4000. When the
// audio's size is not declared (maxAudioBytes -1) the seek table is reserved
// for 1 GiB of audio, far more than an 80-minute CD holds. The decoder
// creates the WAV header itself: the only header choice is none (-1 or 0
// bytes), and there is no terminating data.
//
// Every call answers 0 or an error code of io.h; after an error the
// compressor refuses everything else with the same code. One thread at a
// time.
class CAPECompress {
public:
    CAPECompress();
    ~CAPECompress();
    CAPECompress(const CAPECompress&) = delete;
    CAPECompress& operator=(const CAPECompress&) = delete;

    int Start(CIO* output, const WAVEFORMATEX* format, std::int64_t maxAudioBytes, int level,
              const void* headerData, std::int64_t headerBytes);
    // Any byte count; a frame is encoded and written whenever one is full.
    int AddData(const unsigned char* data, int bytes);
    // Encodes what is left (a last incomplete block is dropped), then
    // completes the file. Terminating data is not supported: pass null, 0, 0.
    int Finish(const unsigned char* terminatingData, int terminatingBytes, int wavTerminatingBytes);

private:
    int Fail(int code);
    int WriteAll(const std::uint8_t* data, std::size_t bytes);
    int EncodeFrame(std::uint32_t blocks);
    int WriteWholeWords(bool final);
    std::vector<std::uint8_t> Header(std::uint32_t finalFrameBlocks) const;
    std::vector<std::uint8_t> SeekTable() const;

    CIO* io_ = nullptr;
    int error_ = kErrorNotStarted;
    int level_ = 0;
    std::uint16_t channels_ = 0;
    std::uint32_t blockAlign_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint32_t blocksPerFrame_ = 0;
    std::unique_ptr<FrameEncoder> encoder_;
    std::unique_ptr<Md5> md5_;

    std::vector<std::uint8_t> pcm_;       // the frame being filled
    std::size_t pcmBytes_ = 0;            // bytes of it filled
    std::vector<std::uint32_t> seekTable_;  // reserved entries; the first `frames_` are used
    std::uint32_t frames_ = 0;
    std::uint32_t firstFrame_ = 0;        // file position of the frame area
    std::uint64_t logicalBytes_ = 0;      // frame bytes produced so far, in stream order
    std::uint64_t storedBytes_ = 0;       // frame bytes written to the file so far
    std::vector<std::uint8_t> staged_;    // produced but not yet written: always fewer than 4 between frames
};

}  // namespace tesslow::ape
