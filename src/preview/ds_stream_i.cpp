#include "preview/ds_stream_i.h"

#include "preview/sound_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tesslow {

ds_stream_sizes ds_stream_sizes::For(const ds_stream_params& params)
{
    const PcmFormat& format = params.format;
    const std::uint32_t length = params.bufferMs;
    ds_stream_sizes sizes;
    sizes.staging = BytesForMilliseconds(format, 250);
    sizes.secondary = BytesForMilliseconds(format, length <= 2000 ? 2 * length : length + 2000);
    sizes.targetFill = BytesForMilliseconds(format, length);
    sizes.prebuffer = BytesForMilliseconds(format, std::min<std::uint32_t>(length / 2, 10000));
    sizes.minimumLead = BytesForMilliseconds(format, 50);
    sizes.silenceChunk = std::min(sizes.secondary / 4, (sizes.secondary - sizes.targetFill) / 2);
    // Whole frames only, so that no region ever splits a sample.
    sizes.silenceChunk -= sizes.silenceChunk % std::max<std::uint32_t>(1, format.BlockAlign());
    return sizes;
}

std::int32_t VolumeInHundredthsOfDecibel(double volume)
{
    if (volume <= 0) return kVolumeMin;
    const double level = 2000.0 * std::log10(std::min(volume, 1.0));
    return std::max(kVolumeMin, static_cast<std::int32_t>(std::lround(level)));
}

ds_stream_i::ds_stream_i(const ds_stream_params& params, std::shared_ptr<std::mutex> section)
    : params_(params),
      sizes_(ds_stream_sizes::For(params)),
      section_(std::move(section)),
      silenceByte_(params.format.bits == 8 ? 0x80 : 0x00),
      staging_(sizes_.staging)
{
}

bool ds_stream_i::write(const void* data, std::size_t bytes)
{
    std::lock_guard lock(*section_);
    if (failed_ || bytes > StagingFree()) return false;
    const auto* source = static_cast<const std::uint8_t*>(data);
    const std::size_t first = std::min(bytes, staging_.size() - stagingWrite_);
    std::memcpy(staging_.data() + stagingWrite_, source, first);
    std::memcpy(staging_.data(), source + first, bytes - first);
    stagingWrite_ = (stagingWrite_ + bytes) % staging_.size();
    stagingFill_ += bytes;
    return true;
}

bool ds_stream_i::is_playing()
{
    std::lock_guard lock(*section_);
    return buffer_ && !prebuffering_;
}

double ds_stream_i::QueuedSeconds() const
{
    return static_cast<double>(std::max<std::ptrdiff_t>(0, queued_)) / params_.format.BytesPerSecond();
}

double ds_stream_i::get_latency_seconds()
{
    std::lock_guard lock(*section_);
    return QueuedSeconds();
}

std::size_t ds_stream_i::BufferedBytes() const
{
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, queued_ + static_cast<std::ptrdiff_t>(stagingFill_)));
}

std::size_t ds_stream_i::get_buffered_bytes()
{
    std::lock_guard lock(*section_);
    return BufferedBytes();
}

std::size_t ds_stream_i::can_write_bytes()
{
    std::lock_guard lock(*section_);
    if (failed_) return 0;
    const std::size_t buffered = BufferedBytes();
    const std::size_t wanted = buffered < sizes_.targetFill ? sizes_.targetFill - buffered : 0;
    return std::min(StagingFree(), wanted);
}

bool ds_stream_i::has_failed()
{
    std::lock_guard lock(*section_);
    return failed_;
}

void ds_stream_i::force_play()
{
    std::lock_guard lock(*section_);
    forcePlay_ = true;
}

bool ds_stream_i::pause(bool paused)
{
    std::lock_guard lock(*section_);
    if (failed_) return false;
    pauseWanted_ = paused;
    return true;
}

bool ds_stream_i::set_volume(double volume)
{
    std::lock_guard lock(*section_);
    if (failed_) return false;
    volume_ = std::clamp(volume, 0.0, 1.0);
    fading_ = false;
    return true;
}

void ds_stream_i::SetFade(double from, double to, double seconds)
{
    volume_ = fadeFrom_ = std::clamp(from, 0.0, 1.0);
    fadeTo_ = std::clamp(to, 0.0, 1.0);
    fadeStart_ = playedSeconds_;
    fadeEnd_ = playedSeconds_ + std::max(0.0, seconds);
    fading_ = true;
}

bool ds_stream_i::fade(double from, double to, double seconds)
{
    std::lock_guard lock(*section_);
    if (failed_) return false;
    SetFade(from, to, seconds);
    return true;
}

bool ds_stream_i::pause_fade(double seconds, bool paused)
{
    std::lock_guard lock(*section_);
    if (failed_) return false;
    if (paused) {
        SetFade(volume_, 0.0, std::min(seconds, QueuedSeconds()));
        pauseAfterFade_ = true;
    } else {
        pauseWanted_ = false;
        pauseAfterFade_ = false;
        // A fade-out still running is turned round where it has got to, and
        // the way back up takes its share of the time.
        const double from = fading_ && fadeTo_ == 0.0 ? volume_ : 0.0;
        SetFade(from, 1.0, seconds * (1.0 - from));
    }
    return true;
}

void ds_stream_i::release()
{
    std::lock_guard lock(*section_);
    releaseRequested_ = true;
}

void ds_stream_i::release_fade(double seconds)
{
    std::lock_guard lock(*section_);
    if (failed_ || seconds <= 0 || paused_ || pauseWanted_) {
        releaseRequested_ = true;
        return;
    }
    forcePlay_ = true;
    SetFade(volume_, 0.0, std::min(seconds, QueuedSeconds()));
    stopAfterFade_ = true;
}

void ds_stream_i::FillSilence(std::size_t offset, std::size_t bytes)
{
    buffer_->Lock(offset, bytes).Fill(silenceByte_);
}

bool ds_stream_i::CreateBuffer(SoundDevice& device)
{
    buffer_ = device.CreateSoundBuffer(params_.format, sizes_.secondary);
    if (!buffer_) return false;
    StartFromSilence();
    appliedVolume_ = 1.0;  // a new buffer plays at full volume
    return true;
}

void ds_stream_i::StartPlaying()
{
    buffer_->Play(true);
    prebuffering_ = false;
    forcePlay_ = false;
}

void ds_stream_i::Underrun()
{
    // Nothing left to play: start again from a silent buffer, as new.
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    StartFromSilence();
}

void ds_stream_i::StartFromSilence()
{
    FillSilence(0, sizes_.secondary);
    silenceAhead_ = sizes_.secondary;
    writeOffset_ = 0;
    lastCursor_ = 0;
    queued_ = 0;
    written_ = false;
    prebuffering_ = true;
}

void ds_stream_i::destroy_buffer()
{
    if (buffer_) buffer_->Stop();
    buffer_.reset();
}

bool ds_stream_i::service(SoundDevice& device)
{
    if (releaseRequested_) return false;
    if (failed_) return true;
    if (!buffer_ && !CreateBuffer(device)) {
        failed_ = true;
        return true;
    }

    const std::uint32_t status = buffer_->GetStatus();
    if ((status & SoundBuffer::kStatusBufferLost) != 0 && !buffer_->Restore()) {
        failed_ = true;
        return true;
    }

    const auto length = static_cast<std::ptrdiff_t>(sizes_.secondary);
    const std::size_t cursor = buffer_->GetCurrentPosition();
    if (!paused_) {
        const std::uint32_t playingLooping = SoundBuffer::kStatusPlaying | SoundBuffer::kStatusLooping;
        if (!prebuffering_ && (buffer_->GetStatus() & playingLooping) != playingLooping) buffer_->Play(true);
        if (prebuffering_) {
            queued_ = static_cast<std::ptrdiff_t>(writeOffset_);
        } else {
            queued_ = static_cast<std::ptrdiff_t>(writeOffset_) - static_cast<std::ptrdiff_t>(cursor);
            if (queued_ < 0) queued_ += length;
            // More than the target plus half the spare room ahead means the
            // cursor has run past the write offset: an underrun.
            if (queued_ > length - (length - static_cast<std::ptrdiff_t>(sizes_.targetFill)) / 2) queued_ -= length;
        }
        const std::size_t consumed = (cursor + sizes_.secondary - lastCursor_) % sizes_.secondary;
        playedSeconds_ += static_cast<double>(consumed) / params_.format.BytesPerSecond();
    }
    lastCursor_ = cursor;

    if (fading_) {
        if (playedSeconds_ >= fadeEnd_ || fadeEnd_ <= fadeStart_) {
            volume_ = fadeTo_;
            fading_ = false;
            if (pauseAfterFade_) {
                pauseWanted_ = true;
                pauseAfterFade_ = false;
            }
            if (stopAfterFade_) return false;
        } else {
            volume_ = fadeFrom_ + (playedSeconds_ - fadeStart_) / (fadeEnd_ - fadeStart_) * (fadeTo_ - fadeFrom_);
        }
    }

    if (forcePlay_ && written_ && !paused_ && !pauseWanted_) StartPlaying();

    if (volume_ != appliedVolume_) {
        buffer_->SetVolume(VolumeInHundredthsOfDecibel(volume_));
        appliedVolume_ = volume_;
    }

    if (pauseWanted_ != paused_) {
        paused_ = pauseWanted_;
        if (!prebuffering_) {
            if (paused_) buffer_->Stop();
            else buffer_->Play(true);
        }
    }

    if (paused_ && stopAfterFade_) return false;

    if (stagingFill_ == 0) {
        if (paused_) return true;
        if (!prebuffering_ && queued_ <= 0) {
            if (stopAfterFade_) return false;
            Underrun();
            return true;
        }
    }

    std::ptrdiff_t room = static_cast<std::ptrdiff_t>(sizes_.targetFill) - queued_;
    const auto minimumLead = static_cast<std::ptrdiff_t>(sizes_.minimumLead);
    if (!prebuffering_ && queued_ < minimumLead && stagingFill_ > 0) {
        // New sound for a cursor that is at or past what was written: it goes
        // just ahead of the cursor, over the silence that lies there, rather
        // than behind it. (Without new sound the stream runs dry instead.)
        const std::ptrdiff_t skip = minimumLead - queued_;
        writeOffset_ = static_cast<std::size_t>((static_cast<std::ptrdiff_t>(writeOffset_) + skip) % length);
        silenceAhead_ -= std::min<std::size_t>(silenceAhead_, static_cast<std::size_t>(skip));
        room -= skip;
        queued_ = minimumLead;
    }

    const std::size_t block = std::max<std::uint32_t>(1, params_.format.BlockAlign());
    std::size_t move = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, room)), stagingFill_);
    move -= move % block;
    if (move > 0) {
        SoundBuffer::Region region = buffer_->Lock(writeOffset_, move);
        std::size_t done = 0;
        for (auto [part, size] : {std::pair{region.part1, region.size1}, std::pair{region.part2, region.size2}}) {
            for (std::size_t copied = 0; copied < size;) {
                const std::size_t n = std::min(size - copied, staging_.size() - stagingRead_);
                std::memcpy(part + copied, staging_.data() + stagingRead_, n);
                stagingRead_ = (stagingRead_ + n) % staging_.size();
                copied += n;
            }
            done += size;
        }
        stagingFill_ -= done;
        writeOffset_ = (writeOffset_ + done) % sizes_.secondary;
        silenceAhead_ -= std::min(silenceAhead_, done);
        queued_ += static_cast<std::ptrdiff_t>(done);
        if (done > 0) written_ = true;
    }

    if (silenceAhead_ < sizes_.silenceChunk) {
        FillSilence(writeOffset_ + silenceAhead_, sizes_.silenceChunk);
        silenceAhead_ += sizes_.silenceChunk;
    }

    if (prebuffering_ && writeOffset_ >= sizes_.prebuffer && written_ && !paused_) StartPlaying();
    return true;
}

}  // namespace tesslow
