#include "metadata/track_titles.h"

#include "platform/format.h"

namespace tesslow {

std::string TitleOfAudioTrack(const DiscRecord& record, std::size_t index)
{
    if (index == kHiddenTrackIndex) return kHiddenTrackTitle;
    if (index < record.album.trackTitles.size() && !record.album.trackTitles[index].empty())
        return record.album.trackTitles[index];
    return Format("Track %02d", index + 1);
}

std::string TitleAtDiscPosition(const DiscRecord& record, std::int32_t sector)
{
    auto at = [&](std::size_t index, const TocEntry& track) {
        const std::int32_t offset = sector - track.start;
        const int minutes = offset / 4500;
        const int seconds = offset / 75 - 60 * minutes;
        return Format("%s (%d:%02d)", TitleOfAudioTrack(record, index), minutes, seconds);
    };
    auto inside = [&](const TocEntry& track) {
        return sector >= track.start && std::int64_t{sector} < std::int64_t{track.start} + track.length;
    };
    if (record.hiddenTrack && inside(*record.hiddenTrack)) return at(kHiddenTrackIndex, *record.hiddenTrack);
    for (std::size_t i = 0; i < record.tracks.size(); ++i)
        if (inside(record.tracks[i])) return at(i, record.tracks[i]);
    return {};
}

}  // namespace tesslow
