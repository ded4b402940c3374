#pragma once

#include "app/album_info.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow {

// The fields a track's tags can carry, whatever the format; each format names
// them in its own way (tag_names.h). The order is the order they are written.
enum class TagField : std::uint8_t {
    Title,
    Artist,
    Album,
    AlbumArtist,
    TrackNumber,
    TrackTotal,
    DiscNumber,
    DiscTotal,
    Date,
    Genre,
    Comment,
    Isrc,
    Barcode,
    CatalogNumber,
    Label,
    Media,
    ReleaseCountry,
    ReleaseId,
    ReleaseGroupId,
    ArtistId,
    AlbumArtistId,
    RecordingId,
    ReleaseTrackId,
    DiscId,
};

struct TrackTag {
    TagField field;
    std::string value;

    bool operator==(const TrackTag&) const = default;
};

// One track's tags: (field, value) pairs in TagField order. A field with
// several values (the artist ids) comes once per value, in credit order.
// Values are never empty and are cleaned as DisplayUtf8 cleans them (cut at a
// zero byte, broken sequences replaced); a field without a value is left out,
// never filled with a placeholder.
//
// A disc without titles (empty trackTitles) gets no tags at all. Otherwise:
// - Title and Artist are the release's credit for the track when it has a
//   title (its artist, else the album's); without one, the track's entry in
//   trackTitles and the album's artist, as a CD-Text or freedb name gives them.
// - AlbumArtist is the album's artist when the track's artist differs from it
//   or the release names its artists by id (so that the album artist id has
//   its name beside it).
// - TrackNumber is trackNumber; TrackTotal the number of titles (credits, if
//   more), left out for a track beyond that list or a number outside it
//   (the hidden track's 0). DiscNumber
//   and DiscTotal only when discTotal > 0.
// - Date is `date` when known, else `year`.
// - ReleaseId is `source` only when that is a MusicBrainz id.
// - ArtistId is the track credit's ids, else the album's when the track's
//   artist is the album's; AlbumArtistId the album's.
std::vector<TrackTag> BuildTrackTags(const AlbumInfo& tags, std::uint32_t trackIndex, std::uint32_t trackNumber);

// Whether `text` has the form of a MusicBrainz id: a UUID in its 36-character
// text form (8-4-4-4-12 hexadecimal digits).
bool IsMusicBrainzId(std::string_view text);

}  // namespace tesslow
