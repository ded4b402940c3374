#include "app/disc_record.h"

namespace tesslow {

std::int32_t AudioEnd(const DiscRecord& disc)
{
    if (disc.tracks.empty()) return 0;
    return disc.tracks.back().start + disc.tracks.back().length;
}

std::optional<TocEntry> TrackExtent(const DiscRecord& disc, std::size_t t)
{
    if (t == kHiddenTrackIndex) return disc.hiddenTrack;
    if (t < disc.tracks.size()) return disc.tracks[t];
    return std::nullopt;
}

int TrackNumberOf(const DiscRecord& disc, std::size_t t)
{
    if (t == kHiddenTrackIndex) return 0;
    return t < disc.trackNumbers.size() ? disc.trackNumbers[t] : static_cast<int>(t + 1);
}

DiscRecord& DiscRecords::operator[](const std::string& driveKey)
{
    std::lock_guard lock(mutex_);
    return records_[driveKey];
}

}  // namespace tesslow
