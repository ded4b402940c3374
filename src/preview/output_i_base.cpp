#include "preview/output_i_base.h"

#include <algorithm>

namespace tesslow {

double output_i_base::get_latency()
{
    double seconds = 0;
    if (streamOpen_) seconds += static_cast<double>(get_buffered_bytes()) / openFormat_.BytesPerSecond();
    if (pendingWritten_ < pending_.size()) {
        seconds += static_cast<double>(pending_.size() - pendingWritten_) / pendingFormat_.BytesPerSecond();
    }
    return seconds;
}

int output_i_base::process_samples(const audio_chunk& chunk, bool isFloat)
{
    const auto* bytes = static_cast<const std::uint8_t*>(chunk.data);
    pending_.assign(bytes, bytes + chunk.bytes);
    pendingWritten_ = 0;
    pendingFormat_ = PcmFormat{chunk.rate, chunk.channels, chunk.bitsPerSample, isFloat};
    return 1;
}

int output_i_base::update()
{
    if (pendingWritten_ >= pending_.size()) return 1;
    if (streamOpen_ && !(pendingFormat_ == openFormat_)) {
        // Another format: the old stream plays out before a new one opens.
        force_play();
        if (is_playing()) return 0;
        streamOpen_ = false;
    }
    if (!streamOpen_) {
        if (!open(pendingFormat_.rate, pendingFormat_.channels, pendingFormat_.bits, pendingFormat_.isFloat ? 1 : 0)) {
            return -1;
        }
        streamOpen_ = true;
        openFormat_ = pendingFormat_;
    }
    // A stream whose device failed takes nothing: the chunk is dropped so that
    // the producer goes on (silently) instead of waiting for room forever.
    if (has_failed()) {
        pendingWritten_ = pending_.size();
        return -1;
    }
    for (std::size_t room; (room = can_write_bytes()) > 0 && pendingWritten_ < pending_.size();) {
        const std::size_t n = std::min(room, pending_.size() - pendingWritten_);
        if (!write_bytes(pending_.data() + pendingWritten_, n)) return -1;
        pendingWritten_ += n;
    }
    if (pendingWritten_ < pending_.size()) {
        force_play();  // the queue is full, so playing may start
        return 0;
    }
    return 1;
}

}  // namespace tesslow
