#pragma once

#include "app/album_info.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow {

// Readers for the XML answers of the MusicBrainz web service (WS/2, schema
// mmd-2.0). Both take untrusted bytes and answer nothing when they are not
// readable XML of the expected shape; they never throw for bad input.

// The identifiers of the releases a disc identifier look-up lists, in the
// service's order (possibly none).
std::optional<std::vector<std::string>> ReleaseIdsFromDiscIdAnswer(std::string_view xml);

// The album of one release answer (asked with artist credits, recordings and
// disc identifiers). The titles come from the release's medium that lists
// `discId`, else from its first medium with `audioTrackCount` tracks, else there
// are none: the titles of another disc of a set never leak in.
//
// artist: the release's artist credit as the service writes it, names and join
// phrases, or "Various artists" when it has none; album: the title; year: the
// first four characters of the release date, else of its first release
// event's date; titles: "<track artist> / <title>" when the track's credit
// differs from the release's, else the title; source: the release identifier.
std::optional<AlbumInfo> AlbumFromReleaseAnswer(std::string_view xml, const std::string& discId,
                                                std::size_t audioTrackCount);

}  // namespace tesslow
