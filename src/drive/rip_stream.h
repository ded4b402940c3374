#pragma once

#include "drive/rip_reader.h"
#include "platform/unique_fd.h"
#include "platform/worker_thread.h"

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>

namespace tesslow {

struct DiscRecord;
struct RipExtractionState;

// The rip worker reads a track's stream in blocks of 26 sectors.
inline constexpr std::size_t kRipChunkBytes = 61152;

// One track's raw CD audio, read from the drive by the rip extraction thread
// through the paranoia library (see RipReader) and delivered through a pipe.
//
// What the stream delivers: exactly the track's sectors x 2352 bytes, in disc
// order, unless the extraction fails or is stopped; never a sector after the
// stop was seen. Sectors the library could not read or verify are delivered
// all the same (with silence where nothing could be read) and counted in the
// report. ReadError() is set when a sector could not be read (the
// library gave up; without correction, any failed read), when the pipe
// refused a write while the stream was not stopped (the reader went away), or
// on any other failure; a stopped extraction may set it too (the worker tells
// a cancel from a failure by its own flag). It is final by the time Read
// answers 0.
//
// Stopping sets the stop flag, closes the read end so that a write blocked on
// a full pipe fails, and waits up to 1000 ms for the thread. A thread that
// does not end in time is abandoned: it holds the drive and its own state by
// shared ownership, writes nothing more, and ends at its next drive read or
// pipe write. Destroying a stream stops it.
//
// Owned and used by one thread (the rip worker's).
class RipStream {
public:
    RipStream();
    RipStream(RipStream&&) noexcept;
    RipStream& operator=(RipStream&&) noexcept;
    ~RipStream();

    // Reads until `size` bytes have arrived or the data ends: the byte count,
    // 0 once the extraction has ended, -1 when the pipe could not be created
    // or a read failed.
    ssize_t Read(void* buffer, std::size_t size);
    // The same, but while no data comes it asks `giveUp` every 100 ms and
    // returns what has arrived once that answers true: a slow drive never
    // keeps the reader from seeing a cancel.
    ssize_t Read(void* buffer, std::size_t size, const std::function<bool()>& giveUp);

    bool ReadError() const;

    // How much of the track the drive has read, in sectors: the sectors read
    // so far, halved with correction (the library reads every stretch twice
    // before it delivers it), at most the track's. Progress shown from it
    // moves as the drive reads, where what the stream delivers comes in
    // stretches of some 1200 sectors.
    std::int32_t SectorsReached() const;

    // What the extraction could not vouch for (rip_reader.h); complete once
    // Read has answered 0 without a read error.
    ExtractionReport Report() const;

    void Stop();

private:
    friend RipStream StartRipExtraction(const DiscRecord& disc, std::size_t trackIndex, bool jitterCorrection,
                                        const ReadOffset& offset);
    std::shared_ptr<RipExtractionState> shared_;
    UniqueFd readEnd_;
    WorkerThread thread_;
};

// Starts the rip extraction thread for audio track `trackIndex` of `disc` (or
// its hidden track, kHiddenTrackIndex)
// through the record's drive, with full jitter correction or none, corrected
// by the drive's read offset. The pipe
// asks for a buffer of the whole track, so extraction runs ahead of the
// encoder as far as the system allows. A track index past the disc's tracks
// gives a stream that cannot be read.
RipStream StartRipExtraction(const DiscRecord& disc, std::size_t trackIndex, bool jitterCorrection,
                             const ReadOffset& offset = {});

}  // namespace tesslow
