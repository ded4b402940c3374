#pragma once

#include "preview/ds_stream.h"

#include <memory>
#include <mutex>
#include <vector>

namespace tesslow {

class SoundDevice;

// The stream's sizes, in bytes, derived from its parameters.
struct ds_stream_sizes {
    std::size_t staging = 0;    // 250 ms
    std::size_t secondary = 0;  // 2 x buffer length up to 2000 ms, else buffer length + 2000 ms
    std::size_t targetFill = 0; // buffer length
    std::size_t prebuffer = 0;  // min(buffer length / 2, 10000 ms)
    std::size_t minimumLead = 0;// 50 ms
    std::size_t silenceChunk = 0;// min(secondary / 4, (secondary - target fill) / 2)

    static ds_stream_sizes For(const ds_stream_params& params);
};

// The stream the device wrapper makes. Its operations lock `section`, the
// device wrapper's lock; `service` is called by the device wrapper's service
// thread with that lock already held.
class ds_stream_i final : public ds_stream {
public:
    ds_stream_i(const ds_stream_params& params, std::shared_ptr<std::mutex> section);

    bool write(const void* data, std::size_t bytes) override;
    bool is_playing() override;
    double get_latency_seconds() override;
    std::size_t get_buffered_bytes() override;
    std::size_t can_write_bytes() override;
    bool has_failed() override;
    void force_play() override;
    bool pause(bool paused) override;
    bool set_volume(double volume) override;
    bool fade(double from, double to, double seconds) override;
    bool pause_fade(double seconds, bool paused) override;
    void release() override;
    void release_fade(double seconds) override;

    // One run of the service (every 10 ms, section held): creates the
    // secondary buffer on the first run, moves staged bytes ahead of the play
    // cursor, keeps silence written beyond them, runs fades, pauses and
    // underruns. False: the stream is finished and is to be destroyed.
    bool service(SoundDevice& device);

    // Stops and lets go of the secondary buffer (section held).
    void destroy_buffer();

    // Marks the stream failed (section held): the device could not be made.
    void mark_failed() { failed_ = true; }

    // Playing out its last sound before it is destroyed (section held).
    bool fading_to_stop() const { return stopAfterFade_ && !failed_; }

    const ds_stream_sizes& sizes() const { return sizes_; }

private:
    bool CreateBuffer(SoundDevice& device);
    void FillSilence(std::size_t offset, std::size_t bytes);
    void StartPlaying();
    void Underrun();
    // The whole buffer silent, nothing written, prebuffering from offset 0.
    void StartFromSilence();
    void SetFade(double from, double to, double seconds);
    std::size_t StagingFree() const { return staging_.size() - stagingFill_; }
    std::size_t BufferedBytes() const;
    double QueuedSeconds() const;

    const ds_stream_params params_;
    const ds_stream_sizes sizes_;
    const std::shared_ptr<std::mutex> section_;
    const std::uint8_t silenceByte_;

    std::vector<std::uint8_t> staging_;
    std::size_t stagingRead_ = 0, stagingWrite_ = 0, stagingFill_ = 0;

    std::shared_ptr<SoundBuffer> buffer_;
    std::size_t writeOffset_ = 0;
    std::ptrdiff_t queued_ = 0;       // negative after an underrun
    std::size_t silenceAhead_ = 0;
    std::size_t lastCursor_ = 0;
    bool written_ = false;            // something was written since the buffer was (re)started
    bool prebuffering_ = true;
    double playedSeconds_ = 0;

    double volume_ = 1.0;
    double appliedVolume_ = 1.0;      // what the buffer plays at
    double fadeFrom_ = 0, fadeTo_ = 0, fadeStart_ = 0, fadeEnd_ = 0;
    bool fading_ = false, stopAfterFade_ = false, pauseAfterFade_ = false;
    bool pauseWanted_ = false, paused_ = false;
    bool forcePlay_ = false, failed_ = false, releaseRequested_ = false;
};

// The buffer's volume setting for a linear volume: 2000 x log10(volume)
// hundredths of a decibel, kVolumeMin for 0.
std::int32_t VolumeInHundredthsOfDecibel(double volume);

}  // namespace tesslow
