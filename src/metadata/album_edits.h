#pragma once

#include "app/album_info.h"

#include <cstddef>
#include <string>

namespace tesslow {

// How a disc's names change when the person fixes them, the same for the
// command line and the wizard.

// Whether some track has an artist of its own (a compilation).
bool HasTrackArtists(const AlbumInfo& album);

// The title list's entry for a credited track: "<artist> / <title>" when the
// track has an artist of its own, else the title.
std::string ListedTitle(const TrackCredit& credit);

// Gives every one of `trackCount` tracks a title ("Track NN" where it has
// none), as a disc named by hand has.
void TitleEveryTrack(AlbumInfo& album, std::size_t trackCount);

// Sets track `index`'s own title ("Track NN" when empty); a compilation's
// track keeps its artist beside it.
void RetitleTrack(AlbumInfo& album, std::size_t index, const std::string& title);

}  // namespace tesslow
