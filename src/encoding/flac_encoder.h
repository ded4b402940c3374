#pragma once

#include "encoding/encoder.h"
#include "platform/unique_fd.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <cstdint>
#include <memory>

namespace tesslow {

// Writes a native FLAC file with the libFLAC stream encoder at compression
// level 5, whatever the job's quality preset. The file carries exactly one
// VORBIS_COMMENT block, always: with the track's tags (see AddTrackComments),
// or with no entries for a disc without titles; a PADDING block after it
// leaves room for tags set once the file is complete (UpdateFlacTags). Accepts 16-bit signed and
// 8-bit unsigned samples; the samples of an incomplete last frame of a block
// are dropped.
//
// The constructor creates the file (only when nothing is there: the overwrite
// check removed any old one) and the stream encoder object (out of memory:
// std::bad_alloc). The first Write configures and initialises the stream,
// which writes the headers through the encoder's write callback; Finish
// encodes the last samples and, seeking back, completes the stream
// information header (sample count, MD5 of the PCM). A track that never
// received a Write stays a 0-byte file. Destroyed without Finish, the encoder
// only releases and closes; the partial file is left for the caller to delete.
// Failures: "flac encoder initialization failed" (first Write), "encoding
// error" (a block refused or a write that failed, in Write or Finish). Never
// deletes its file. One thread at a time.
class CFLACEncoder final : public Encoder {
public:
    explicit CFLACEncoder(const EncoderRequest& request);
    ~CFLACEncoder() override;

    void Write(const void* pcm, unsigned byteCount, unsigned* consumed) override;
    void Finish() override;

private:
    struct DeleteStreamEncoder {
        void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
    };
    struct DeleteMetadata {
        void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
    };

    void Start();
    // Throws the failure of a process or finish call.
    [[noreturn]] void Failed() const;

    static FLAC__StreamEncoderWriteStatus WriteCallback(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                                        size_t bytes, uint32_t samples, uint32_t frame,
                                                        void* client);
    static FLAC__StreamEncoderSeekStatus SeekCallback(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                                      void* client);
    static FLAC__StreamEncoderTellStatus TellCallback(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                                      void* client);

    // Destroyed in reverse order: the stream encoder (which may still write
    // through the callbacks) goes before the comment block it refers to and
    // before the file.
    UniqueFd file_;
    std::unique_ptr<FLAC__StreamMetadata, DeleteMetadata> comments_;
    std::unique_ptr<FLAC__StreamMetadata, DeleteMetadata> picture_;  // the front cover, when there is one
    std::unique_ptr<FLAC__StreamMetadata, DeleteMetadata> padding_;  // room for tags set after encoding
    FLAC__StreamMetadata* metadataList_[3] = {nullptr, nullptr, nullptr};
    std::unique_ptr<FLAC__StreamEncoder, DeleteStreamEncoder> encoder_;
    bool notStarted_ = true;
    std::unique_ptr<FLAC__int32[]> samples_;  // conversion buffer; only ever grows
    std::size_t capacity_ = 0;                // entries in samples_
    int writeError_ = 0;                      // errno of the write that failed, if one did
};

}  // namespace tesslow
