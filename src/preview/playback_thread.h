#pragma once

#include "preview/output.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tesslow {

class DiscRecords;
class MessageSink;

// What a tracks page shares with its playback thread. Held by shared
// ownership, so a playback thread that is given up on can finish safely.
struct PlaybackData {
    // The disc sector being handed to the output, for the "Playing" label;
    // read by the page without a lock.
    std::atomic<std::int32_t> position{0};
    // Set by the page to stop; the thread fades out and ends.
    std::atomic<bool> stop{false};
    // The page's output, made by its first play and reused by later ones.
    // Only the playback thread touches it.
    std::shared_ptr<output> out;
    // Set by the thread, before it reports the end, when no sound output
    // opened: nothing was played.
    std::atomic<bool> soundMissing{false};
};

// How a playback ended.
struct PlaybackEnd {
    bool soundMissing = false;  // no audio output opens: nothing was played
    std::string error;          // the preview could not start (the drive's message); empty otherwise
};

// Makes the output for a page's first play; nullptr when there is no sound
// output at all. The default checks that an SDL audio device opens.
using OutputMaker = std::shared_ptr<output> (*)();
std::shared_ptr<output> MakePreviewOutput();

// The playback thread's body: plays audio track `trackIndex` (0-based) of the
// drive's record from its first sector to the end of the disc's audio, 16
// sectors at a time, until the end or data.stop; then fades out, closes the
// preview stream, waits up to 900 ms for its extraction thread (abandoning it
// after that) and posts UM_PLAYBACK_ENDED to `sink`, on every path. Runs on
// the calling thread; never throws.
PlaybackEnd RunPlayback(PlaybackData& data, DiscRecords& records, const std::string& driveKey,
                        std::size_t trackIndex, MessageSink& sink, OutputMaker makeOutput = &MakePreviewOutput);

}  // namespace tesslow
