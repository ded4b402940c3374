#include "metadata/album_edits.h"

#include "platform/format.h"

#include <algorithm>

namespace tesslow {

bool HasTrackArtists(const AlbumInfo& album)
{
    return std::any_of(album.credits.begin(), album.credits.end(), [](const TrackCredit& c) { return !c.artist.empty(); });
}

std::string ListedTitle(const TrackCredit& credit)
{
    return credit.artist.empty() ? credit.title : credit.artist + " / " + credit.title;
}

void TitleEveryTrack(AlbumInfo& album, std::size_t trackCount)
{
    if (album.trackTitles.size() < trackCount) album.trackTitles.resize(trackCount);
    for (std::size_t i = 0; i < album.trackTitles.size(); ++i)
        if (album.trackTitles[i].empty()) album.trackTitles[i] = Format("Track %02d", i + 1);
}

void RetitleTrack(AlbumInfo& album, std::size_t index, const std::string& title)
{
    if (index >= album.trackTitles.size()) return;
    const std::string text = title.empty() ? Format("Track %02d", index + 1) : title;
    if (index < album.credits.size()) {
        album.credits[index].title = text;
        album.trackTitles[index] = ListedTitle(album.credits[index]);
    } else {
        album.trackTitles[index] = text;
    }
}

}  // namespace tesslow
