#pragma once

#include <cstddef>
#include <cstdint>

namespace tesslow {

// A piece of sound handed to an output; the output copies the bytes.
struct audio_chunk {
    const void* data = nullptr;
    std::size_t bytes = 0;
    std::uint32_t rate = 44100;
    std::uint32_t channels = 2;
    std::uint32_t bitsPerSample = 16;
};

// A sound output as a player drives it: hand it a chunk, then call update
// until it has taken all of it. One producer thread uses an output.
class output {
public:
    virtual ~output() = default;

    // Seconds handed over but not yet heard.
    virtual double get_latency() = 0;
    // Takes a copy of the chunk as the pending one (replacing any); 1.
    virtual int process_samples(const audio_chunk& chunk, bool isFloat) = 0;
    // Pushes as much of the pending chunk as the device takes: 1 when nothing
    // is pending (ready for the next chunk), 0 while some is, -1 when the
    // device cannot play it (the chunk is dropped).
    virtual int update() = 0;

    virtual void pause(bool paused) = 0;
    // Ends the open stream with a short fade-out of what is queued and drops
    // the rest of the pending chunk.
    virtual void flush() = 0;
    virtual void force_play() = 0;
    virtual bool open(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits, int isFloat) = 0;
    // Reserved; does nothing.
    virtual int reserved() = 0;
    virtual std::size_t can_write_bytes() = 0;
    virtual bool write_bytes(const void* data, std::size_t bytes) = 0;
    virtual std::size_t get_buffered_bytes() = 0;
    virtual int stop_with_fade() = 0;
    virtual bool is_playing() = 0;
    // The open stream can no longer play (its device failed).
    virtual bool has_failed() = 0;
};

}  // namespace tesslow
