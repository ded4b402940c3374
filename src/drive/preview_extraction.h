#pragma once

#include "drive/preview_reader.h"
#include "platform/unique_fd.h"
#include "platform/worker_thread.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace tesslow {

class DiscRecords;

// The shared state of one preview extraction, held by shared ownership
// between the starting call and the preview extraction thread; the last
// holder destroys the reader (which closes the drive only if it opened it).
struct extract_for_playback_data_t {
    std::atomic<bool> started{false};  // set by the thread once it runs
    UniqueFd pipeReadEnd;              // handed to the consumer by StartPreviewExtraction
    UniqueFd pipeWriteEnd;             // taken over, written and closed by the thread
    std::unique_ptr<PreviewReader> reader;
};

// A running preview: raw audio from the track's first sector on to the
// disc's lead-out, until a read fails or the consumer closes its end.
struct PreviewStream {
    UniqueFd readEnd;     // the consumer reads here; closing it stops the producer
    WorkerThread thread;  // wait for it (900 ms) after closing the read end; it may be abandoned
};

// Creates the shared state for previewing audio track `trackIndex` (0-based)
// of the drive's record: a pipe with a size hint of 16 sectors and a reader
// from the track's start to the lead-out. Throws what PreviewReader throws.
std::shared_ptr<extract_for_playback_data_t> PrepareForPlayback(DiscRecords& records, const std::string& driveKey,
                                                                std::size_t trackIndex);

// The preview extraction thread's body: reads up to 16 sectors at a time and
// writes exactly what it read, until the reader answers 0 or the write fails
// (EPIPE once the consumer is gone); then closes the write end. Never throws.
void RunPreviewExtraction(std::shared_ptr<extract_for_playback_data_t> data);

// Both of the above: prepares, starts the thread on a reference of its own,
// waits until it runs, and hands over the read end and the thread.
PreviewStream StartPreviewExtraction(DiscRecords& records, const std::string& driveKey, std::size_t trackIndex);

}  // namespace tesslow
