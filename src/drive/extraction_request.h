#pragma once

#include "platform/unique_fd.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tesslow {

class ScsiCommand;
struct DiscRecord;

// The rip extraction of one track: the parameter block shared by the rip
// worker and the extraction thread, and the thread's body.
//
// The worker, for each track:
//
//     Pipe pipe(track.length * kSectorBytes);              // size hint
//     auto request = std::make_shared<ExtractionRequest>();
//     request->drive = record.drive;                       // the DiscRecord's drive
//     request->startSector = track.start;
//     request->sectorCount = track.length;
//     request->readableEnd = AudioEnd(record);             // lets the library verify the track's end
//     request->jitterCorrection = settings.JitterCorrection != 0;
//     request->pipeWriteEnd = std::move(pipe.writeEnd);
//     WorkerThread thread([request] { RunRipExtraction(request); });
//     // read pipe.readEnd in chunks of kRipChunkBytes until a read answers 0
//     // (the thread has closed its end), then look at request->readError.
//
// To cancel: set request->stop, close the read end, wait up to 1000 ms; a
// thread that does not end in time may be abandoned: it holds the request and
// the drive by shared ownership, writes nothing more, and ends at its next
// drive read or pipe write.
//
// What the thread delivers: exactly sectorCount x 2352 bytes, one write of
// one sector each, unless it fails or is stopped; never a sector after it saw
// the stop flag. It sets readError when a sector could not be read (the
// paranoia library gave up; with correction off, any failed read), when the
// pipe refuses a write while the stop flag is clear (the reader went away
// without cancelling), or on any other failure; a stopped extraction may set
// it too (the worker tells a cancel from a failure by its own flag). The
// write end is closed when the thread is done, after readError is final.
struct ExtractionRequest {
    std::shared_ptr<ScsiCommand> drive;  // the current DiscRecord's drive object
    std::int32_t startSector = 0;         // the track's TocEntry
    std::int32_t sectorCount = 0;
    std::int32_t readableEnd = 0;         // the end of the track's audio (see rip_reader.h); 0 = the track's end
    bool jitterCorrection = false;        // the JitterCorrection setting
    UniqueFd pipeWriteEnd;                // taken over and closed by the thread
    std::atomic<bool> stop{false};        // set by the worker to cancel
    std::atomic<bool> readError{false};   // set by the thread
};

// The first sector after the disc's last audio track: the lead-out, or on a
// disc with a later data session the end of the audio session. The drive can
// read every sector before it.
std::int32_t AudioEnd(const DiscRecord& record);

// The worker reads the rip pipe in blocks of 26 sectors.
inline constexpr std::size_t kRipChunkBytes = 61152;

// The body of the rip extraction thread. Never throws; ends after closing the
// pipe's write end. Runs on the calling thread.
void RunRipExtraction(std::shared_ptr<ExtractionRequest> request);

}  // namespace tesslow
