#include "metadata/cd_text_naming.h"

#include <algorithm>

namespace tesslow {

bool NameFromCdText(DiscRecord& record, std::optional<std::uint8_t> language)
{
    if (!record.cdText) return false;
    const CdTextBlock* block = ChooseCdTextBlock(*record.cdText, language);
    if (!block) return false;
    const bool anyTrackTitle = std::any_of(record.trackNumbers.begin(), record.trackNumbers.end(),
                                           [&](std::uint8_t number) { return !block->Track(number).title.empty(); });
    if (block->disc.title.empty() && !anyTrackTitle) return false;

    AlbumInfo album;
    album.artist = block->disc.performer;
    album.album = block->disc.title;
    for (const std::uint8_t number : record.trackNumbers) {
        const CdTextEntry& track = block->Track(number);
        album.trackTitles.push_back(track.title);
        TrackCredit credit;
        credit.title = track.title;
        if (track.performer != block->disc.performer) credit.artist = track.performer;
        album.credits.push_back(std::move(credit));
    }
    record.album = std::move(album);
    return true;
}

}  // namespace tesslow
