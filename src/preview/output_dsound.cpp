#include "preview/output_dsound.h"

#include "preview/ds_api_i.h"

#include <mutex>

namespace tesslow {
namespace {

std::recursive_mutex& OutputSection()
{
    static std::recursive_mutex section;
    return section;
}

using Lock = std::lock_guard<std::recursive_mutex>;

}  // namespace

output_dsound::output_dsound(ds_api& device) : device_(device) {}

output_dsound::output_dsound() : output_dsound(ProcessSoundDevice()) {}

output_dsound::~output_dsound()
{
    Lock lock(OutputSection());
    if (stream_) stream_->release();
}

void output_dsound::pause(bool paused)
{
    Lock lock(OutputSection());
    if (stream_) stream_->pause_fade(kPreviewFadeSeconds, paused);
}

void output_dsound::flush()
{
    Lock lock(OutputSection());
    if (stream_) StopWithFade();
    MarkClosed();
    DropPending();
}

void output_dsound::force_play()
{
    Lock lock(OutputSection());
    if (stream_) stream_->force_play();
}

bool output_dsound::open(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits, int isFloat)
{
    Lock lock(OutputSection());
    if (stream_) {
        stream_->release();
        stream_.reset();
    }
    if (isFloat != 0 && isFloat != 1) return false;
    ds_stream_params params;
    params.format = PcmFormat{rate, channels, bits, isFloat == 1};
    params.hardwareAllowed = true;
    params.bufferMs = 1000;
    stream_ = device_.create_stream(params);
    if (stream_ && fadeInNext_) {
        stream_->fade(0.0, 1.0, kPreviewFadeSeconds);
        fadeInNext_ = false;
    }
    return stream_ != nullptr;
}

std::size_t output_dsound::can_write_bytes()
{
    Lock lock(OutputSection());
    return stream_ ? stream_->can_write_bytes() : 0;
}

bool output_dsound::write_bytes(const void* data, std::size_t bytes)
{
    Lock lock(OutputSection());
    return stream_ && stream_->write(data, bytes);
}

std::size_t output_dsound::get_buffered_bytes()
{
    Lock lock(OutputSection());
    return stream_ ? stream_->get_buffered_bytes() : 0;
}

int output_dsound::StopWithFade()
{
    stream_->release_fade(kPreviewFadeSeconds);
    stream_.reset();
    fadeInNext_ = true;
    return 1;
}

int output_dsound::stop_with_fade()
{
    Lock lock(OutputSection());
    MarkClosed();
    return stream_ ? StopWithFade() : 1;
}

bool output_dsound::is_playing()
{
    Lock lock(OutputSection());
    return stream_ && stream_->is_playing();
}

bool output_dsound::has_failed()
{
    Lock lock(OutputSection());
    return stream_ && stream_->has_failed();
}

}  // namespace tesslow
