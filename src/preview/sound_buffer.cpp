#include "preview/sound_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tesslow {

std::size_t BytesForMilliseconds(const PcmFormat& format, std::uint32_t milliseconds)
{
    const std::uint64_t frames = (std::uint64_t{milliseconds} * format.rate + 500) / 1000;
    return static_cast<std::size_t>(frames) * format.BlockAlign();
}

double GainOfVolume(std::int32_t hundredthsOfDecibel)
{
    if (hundredthsOfDecibel <= kVolumeMin) return 0.0;
    return std::pow(10.0, std::min(hundredthsOfDecibel, kVolumeMax) / 2000.0);
}

SoundBuffer::SoundBuffer(const PcmFormat& format, std::size_t bytes, std::function<bool()> restore)
    : format_(format), restore_(std::move(restore)), ring_(bytes)
{
}

void SoundBuffer::Region::Fill(const std::uint8_t* bytes)
{
    std::memcpy(part1, bytes, size1);
    if (size2 != 0) std::memcpy(part2, bytes + size1, size2);
}

void SoundBuffer::Region::Fill(std::uint8_t value)
{
    std::memset(part1, value, size1);
    if (size2 != 0) std::memset(part2, value, size2);
}

SoundBuffer::Region SoundBuffer::Lock(std::size_t offset, std::size_t bytes)
{
    Region region(mutex_);
    if (lost_ || ring_.empty()) return region;
    offset %= ring_.size();
    bytes = std::min(bytes, ring_.size());
    region.part1 = ring_.data() + offset;
    region.size1 = std::min(bytes, ring_.size() - offset);
    if (region.size1 < bytes) {
        region.part2 = ring_.data();
        region.size2 = bytes - region.size1;
    }
    return region;
}

void SoundBuffer::Play(bool looping)
{
    std::lock_guard lock(mutex_);
    if (lost_) return;
    playing_ = true;
    looping_ = looping;
}

void SoundBuffer::Stop()
{
    std::lock_guard lock(mutex_);
    playing_ = false;
}

std::uint32_t SoundBuffer::GetStatus() const
{
    std::lock_guard lock(mutex_);
    std::uint32_t status = 0;
    if (playing_) status |= kStatusPlaying | (looping_ ? kStatusLooping : 0);
    if (lost_) status |= kStatusBufferLost;
    return status;
}

std::size_t SoundBuffer::GetCurrentPosition() const
{
    std::lock_guard lock(mutex_);
    return cursor_;
}

void SoundBuffer::SetCurrentPosition(std::size_t offset)
{
    std::lock_guard lock(mutex_);
    if (ring_.empty()) return;
    // The cursor stays on a frame boundary.
    offset %= ring_.size();
    cursor_ = offset - offset % format_.BlockAlign();
}

void SoundBuffer::SetVolume(std::int32_t hundredthsOfDecibel)
{
    std::lock_guard lock(mutex_);
    volume_ = std::clamp(hundredthsOfDecibel, kVolumeMin, kVolumeMax);
    gain_ = GainOfVolume(volume_);
}

void SoundBuffer::MarkLost()
{
    std::lock_guard lock(mutex_);
    lost_ = true;
    playing_ = false;
}

bool SoundBuffer::Restore()
{
    {
        std::lock_guard lock(mutex_);
        if (!lost_) return true;
    }
    // The device is asked without the buffer's lock: its audio callback takes
    // the buffer's lock while holding its own.
    if (!restore_ || !restore_()) return false;
    std::lock_guard lock(mutex_);
    lost_ = false;
    return true;
}

void SoundBuffer::MixInto(std::int16_t* out, std::size_t frames)
{
    std::lock_guard lock(mutex_);
    if (!playing_ || lost_ || format_.bits != 16 || format_.isFloat || ring_.empty()) return;
    const std::size_t channels = format_.channels;
    const std::size_t frameBytes = format_.BlockAlign();
    for (std::size_t frame = 0; frame < frames && playing_; ++frame) {
        const std::uint8_t* source = ring_.data() + cursor_;
        for (std::size_t c = 0; c < channels; ++c) {
            std::int16_t sample;
            std::memcpy(&sample, source + 2 * c, 2);
            const double mixed = out[frame * channels + c] + std::lround(sample * gain_);
            out[frame * channels + c] = static_cast<std::int16_t>(
                std::clamp(mixed, double{std::numeric_limits<std::int16_t>::min()},
                           double{std::numeric_limits<std::int16_t>::max()}));
        }
        cursor_ += frameBytes;
        if (cursor_ >= ring_.size()) {
            cursor_ = 0;
            if (!looping_) playing_ = false;
        }
    }
}

}  // namespace tesslow
