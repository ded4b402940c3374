#pragma once

#include "encoding/encoder.h"
#include "platform/unique_fd.h"

#include <cstdint>
#include <memory>

namespace tesslow {

// Writes an Ogg Vorbis file (logical stream serial number 0) with libvorbis
// and libogg, writing the Ogg pages to the file itself.
//
// Quality by the job's preset: variable bit rate at base quality 0.0 (Low),
// 0.5 (Medium), 0.8 (High), or a managed bit rate whose nominal value is the
// job's custom value in bit/s (Custom). Tags are Vorbis comments (see
// AddTrackComments); a disc without titles gets only the library's vendor
// string. Accepts 16-bit signed and 8-bit unsigned samples; the bytes of an
// incomplete last frame of a block are dropped.
//
// The codec is set up by the first Write, which also writes the three header
// packets on pages of their own, so the audio starts on a new page. Finish
// writes the last pages and releases the codec; a track that never received a
// Write stays a 0-byte file. Destroyed without Finish (cancel, failure), the
// encoder releases the codec state and closes the file, leaving the partial
// file for the caller to delete. Failures: "internal vorbis logic fault"
// (set-up refused), "write error" (a page could not be written). Never deletes
// its file. One thread at a time.
class COGGEncoder final : public Encoder {
public:
    // Creates the file, replacing an existing one the overwrite check allowed.
    explicit COGGEncoder(const EncoderRequest& request);
    ~COGGEncoder() override;

    void Write(const void* pcm, unsigned byteCount, unsigned* consumed) override;
    void Finish() override;

private:
    struct Codec;

    void Start();
    void Drain(Codec& codec);
    void WritePage(const void* header, long headerBytes, const void* body, long bodyBytes);

    UniqueFd file_;
    bool notStarted_ = true;
    QualityPreset preset_;
    std::int32_t nominalBitRate_;  // the custom value, bit/s
    std::unique_ptr<Codec> codec_;  // the libogg and libvorbis states while started
};

}  // namespace tesslow
