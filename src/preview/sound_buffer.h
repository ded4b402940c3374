#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace tesslow {

// The sample format of a sound buffer or stream.
struct PcmFormat {
    std::uint32_t rate = 44100;
    std::uint32_t channels = 2;
    std::uint32_t bits = 16;
    bool isFloat = false;

    std::uint32_t BlockAlign() const { return channels * bits / 8; }
    std::uint32_t BytesPerSecond() const { return rate * BlockAlign(); }
    bool operator==(const PcmFormat&) const = default;
};

// Bytes of `milliseconds` of sound: the frame count rounded as MulDiv rounds
// (to nearest), times the bytes per frame.
std::size_t BytesForMilliseconds(const PcmFormat& format, std::uint32_t milliseconds);

// Volume 0 dB and the quietest setting, in hundredths of a decibel.
inline constexpr std::int32_t kVolumeMax = 0;
inline constexpr std::int32_t kVolumeMin = -10000;

// The linear gain of a volume in hundredths of a decibel: 10^(v / 2000), and
// exactly 0 at kVolumeMin.
double GainOfVolume(std::int32_t hundredthsOfDecibel);

// A looping secondary sound buffer: a byte ring that the writer fills through
// locked regions and that the audio device reads at a play cursor. It offers
// the operations a DirectSound secondary buffer offers to its writer (lock and
// unlock, play looping, stop, status, play cursor, volume, restore after loss);
// the device side calls MixInto from its audio callback, which advances the
// play cursor by what it mixed. Without a device, MixInto is the controlled
// cursor of tests.
//
// Thread-safe: every operation takes the buffer's own mutex; a Region holds it
// until it is destroyed (the Unlock), so the device never reads half-written
// bytes. Never hold a Region while taking another lock.
class SoundBuffer {
public:
    static constexpr std::uint32_t kStatusPlaying = 0x1;
    static constexpr std::uint32_t kStatusBufferLost = 0x2;
    static constexpr std::uint32_t kStatusLooping = 0x4;

    // `restore` is asked to bring the device back when a lost buffer is
    // restored; it answers whether it could. Without one, Restore fails.
    SoundBuffer(const PcmFormat& format, std::size_t bytes, std::function<bool()> restore = {});

    // The bytes from an offset for a length, as at most two parts when the
    // range wraps at the end of the ring; the buffer stays locked until the
    // region is destroyed.
    class Region {
    public:
        std::uint8_t* part1 = nullptr;
        std::size_t size1 = 0;
        std::uint8_t* part2 = nullptr;
        std::size_t size2 = 0;

        bool Empty() const { return size1 + size2 == 0; }

        // Copies `size1 + size2` bytes in, or sets them to one byte value.
        void Fill(const std::uint8_t* bytes);
        void Fill(std::uint8_t value);

    private:
        friend class SoundBuffer;
        explicit Region(std::mutex& mutex) : lock_(mutex) {}
        std::unique_lock<std::mutex> lock_;
    };

    // The offset is taken modulo the ring; a length above the ring's size is
    // the whole ring. A lost buffer gives an empty region.
    Region Lock(std::size_t offset, std::size_t bytes);

    void Play(bool looping);
    void Stop();
    std::uint32_t GetStatus() const;
    std::size_t GetCurrentPosition() const;
    void SetCurrentPosition(std::size_t offset);
    void SetVolume(std::int32_t hundredthsOfDecibel);
    bool Restore();

    // The device went away: the buffer stops and reports itself lost until a
    // Restore succeeds. Its contents are kept.
    void MarkLost();

    const PcmFormat& Format() const { return format_; }
    std::size_t Size() const { return ring_.size(); }

    // Device side, for 16-bit integer buffers: adds `frames` frames from the
    // play cursor, scaled by the volume, into `out` (interleaved, saturating)
    // and advances the cursor; a buffer that is not playing adds nothing. A
    // non-looping buffer stops at its end.
    void MixInto(std::int16_t* out, std::size_t frames);

private:
    const PcmFormat format_;
    std::function<bool()> restore_;
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> ring_;
    std::size_t cursor_ = 0;
    bool playing_ = false;
    bool looping_ = false;
    bool lost_ = false;
    std::int32_t volume_ = kVolumeMax;
    double gain_ = 1.0;
};

}  // namespace tesslow
