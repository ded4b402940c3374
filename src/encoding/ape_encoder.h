#pragma once

#include "encoding/ape/ape_compress.h"
#include "encoding/ape/io.h"
#include "encoding/encoder.h"
#include "platform/unique_fd.h"

#include <memory>

namespace tesslow {

// Writes a Monkey's Audio file (version 3990, level 2000, whatever the job's
// quality preset) with an APEv2 tag of the disc's titles.
//
// The constructor creates the file for reading and writing (only when
// nothing is there: the overwrite check removed any old file) and the
// compressor. The first Write starts the compressor; Finish encodes the rest,
// completes the header and, when the disc has titles, appends the tag with
// Title, Artist, Album, Comment, Year, Track, Totaltracks (every track of the
// disc) and Genre; empty fields are left out. A track that never received a
// Write stays a 0-byte file. Failures: "monkey audio initialization error"
// (the compressor cannot be made), "data processing error" (a block refused,
// a write that failed), "write error" (the end of the file or the tag could
// not be written). Never deletes its file. One thread at a time.
class CAPEEncoder final : public Encoder {
public:
    explicit CAPEEncoder(const EncoderRequest& request);
    ~CAPEEncoder() override;

    void Write(const void* pcm, unsigned byteCount, unsigned* consumed) override;
    void Finish() override;

private:
    // The compressor's file: the output file's descriptor, closed with it.
    // Open, Close, Create, Delete and GetName have nothing to do. SetEOF
    // cuts the file at the current position, so a tag written over a longer
    // one leaves nothing behind it.
    class MyIO final : public ape::CIO {
    public:
        explicit MyIO(UniqueFd file) : file_(std::move(file)) {}

        int Open(const char*) override { return 0; }
        int Close() override { return 0; }
        int Read(void* buffer, unsigned bytes, unsigned* bytesRead) override;
        int Write(const void* buffer, unsigned bytes, unsigned* bytesWritten) override;
        int Seek(std::int32_t distance, int moveMethod) override;
        int Create(const char*) override { return 0; }
        int Delete() override { return 0; }
        int SetEOF() override;
        std::uint32_t GetPosition() override;
        std::uint32_t GetSize() override;
        int GetName(char*) override { return 0; }

        // errno of the last read, write or seek that failed; 0 if none did.
        int Failure() const { return failure_; }

    private:
        UniqueFd file_;
        int failure_ = 0;
    };

    std::unique_ptr<MyIO> io_;
    std::unique_ptr<ape::CAPECompress> compressor_;  // none after Finish
    bool notStarted_ = true;
};

}  // namespace tesslow
