#pragma once

#include "app/album_info.h"
#include "app/cover_picture.h"
#include "app/rip_job.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tesslow {

class OverwritePolicy;
class OverwriteQuestion;

// The front cover for the tags, asked for when an encoder writes them (at the
// start of the file, or for APE at its end). It may wait for a fetch under
// way, never longer than that fetch's own bound; null: no picture. Called on
// the encoder's thread.
using CoverSource = std::function<std::shared_ptr<const CoverPicture>()>;

// Everything an encoder is made from: the output file, the disc's tags, the
// job's quality choice and the settings the encoders read. Encoders read no
// settings of their own.
struct EncoderRequest {
    FormatCode format = FormatCode::Wav;
    std::string path;                     // full output path, UTF-8
    AlbumInfo tags;                       // the disc's tags; not used by WAV
    std::uint32_t trackIndex = 0;         // position of the track in tags.trackTitles
    std::optional<std::uint32_t> trackNumber;  // the number in the tags; trackIndex + 1 when not given
    QualityPreset preset = QualityPreset::Medium;
    std::int32_t qualityValue = 0;        // the custom step's value in bit/s
    bool mp3ForceCbr = false;             // the MP3ForceCBR setting
    std::string moduleFolder;             // the AppPath setting: where lame_enc.so is
    bool alwaysOverwrite = false;         // the job's AlwaysOverwrite setting
    OverwritePolicy* overwrite = nullptr; // the run's remembered overwrite choice (required)
    OverwriteQuestion* question = nullptr;  // asks the user; null: nobody can be asked
    CoverSource cover;                    // the front cover; empty: none (WAV never takes one)
};

// Turns one track's PCM into one output file.
//
// Constructed by CreateEncoder, which has already created the output file (or
// thrown). Write is called one or more times with any byte count, the first
// call starting the codec; Finish completes the file; then the encoder is
// destroyed. After a failure or a cancel it is destroyed without Finish: the
// destructor then only closes and releases (it never throws), and leaves the
// partial file for the rip worker to delete. Every failure is an
// EncoderException. One thread at a time.
class Encoder {
public:
    virtual ~Encoder() = default;
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Consumes byteCount bytes of interleaved little-endian PCM; *consumed (if
    // given) receives the bytes taken.
    virtual void Write(const void* pcm, unsigned byteCount, unsigned* consumed) = 0;
    virtual void Finish() = 0;

    // Set by the factory (44100, 2, 16); -1 until then.
    std::int32_t sampleRate = -1;
    std::int32_t channels = -1;
    std::int32_t bitsPerSample = -1;
    AlbumInfo tags;
    std::uint32_t trackIndex = 0;
    std::uint32_t trackNumber = 1;  // in the tags
    CoverSource cover;              // empty: no picture

protected:
    Encoder() = default;
};

}  // namespace tesslow
