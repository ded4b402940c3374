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

// The releases a disc identifier look-up lists (asked with artist credits and
// labels), in the service's order, possibly none; those without an id are
// left out. Each with the disc's medium: the one listing `discId`, else the
// first with `audioTrackCount` tracks.
std::optional<std::vector<ReleaseSummary>> ReleasesFromDiscIdAnswer(std::string_view xml, const std::string& discId,
                                                                   std::size_t audioTrackCount);

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
// With labels and release groups asked too, it also fills what complete tags
// need: per-track credits and ids, the release's artist ids, release group,
// full date, country, first label and catalog number, barcode, the medium's
// format and position, the release's media, and `discId`.
std::optional<AlbumInfo> AlbumFromReleaseAnswer(std::string_view xml, const std::string& discId,
                                                std::size_t audioTrackCount);

}  // namespace tesslow
