#pragma once

#include "preview/sound_buffer.h"

#include <cstddef>
#include <cstdint>

namespace tesslow {

// What a stream is made with.
struct ds_stream_params {
    PcmFormat format;
    bool hardwareAllowed = true;   // kept for the buffer description; the emulated buffer has no hardware
    std::uint32_t bufferMs = 1000; // how much sound is kept queued ahead of the play cursor
};

// One stream of sound to the audio device: the producer writes bytes into a
// staging ring, the device's service thread moves them into the looping
// secondary buffer ahead of the play cursor every 10 ms.
//
// Thread-safe: every operation takes the device's lock. Once the stream has
// failed, pause, set_volume, fade and pause_fade answer false,
// can_write_bytes answers 0 and release_fade releases at once.
class ds_stream {
public:
    virtual ~ds_stream() = default;

    // Appends to the staging ring; false (nothing taken) when it does not fit
    // or the stream has failed.
    virtual bool write(const void* data, std::size_t bytes) = 0;
    // The secondary buffer exists and playing has begun.
    virtual bool is_playing() = 0;
    // Queued bytes (written ahead of the play cursor) in seconds.
    virtual double get_latency_seconds() = 0;
    // Queued plus staged bytes, at least 0.
    virtual std::size_t get_buffered_bytes() = 0;
    // min(free staging space, target fill - buffered bytes), at least 0.
    virtual std::size_t can_write_bytes() = 0;
    virtual bool has_failed() = 0;
    // Starts playing at the next service even before the prebuffer threshold.
    virtual void force_play() = 0;
    virtual bool pause(bool paused) = 0;
    // Linear volume 0 ... 1; ends a running fade.
    virtual bool set_volume(double volume) = 0;
    // Ramps the volume over `seconds` of played sound.
    virtual bool fade(double from, double to, double seconds) = 0;
    // pause: ramps to 0 over min(seconds, queued seconds), then pauses.
    // resume: unpauses and ramps to 1 over `seconds`, from 0 or from where a
    // running fade-out has got to.
    virtual bool pause_fade(double seconds, bool paused) = 0;
    // Asks the service to destroy the stream at its next run.
    virtual void release() = 0;
    // Plays out what is queued while fading to 0 over min(seconds, queued
    // seconds), then is destroyed; at once when seconds <= 0 or paused.
    virtual void release_fade(double seconds) = 0;
};

}  // namespace tesslow
