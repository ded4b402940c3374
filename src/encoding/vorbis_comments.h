#pragma once

#include "app/album_info.h"

#include <vorbis/codec.h>

#include <cstdint>

namespace tesslow {

// Adds one track's tags to a libvorbis comment structure as "NAME=value"
// entries, in the order Ogg Vorbis and FLAC files both carry them: TITLE,
// ARTIST, ALBUM, DATE, COMMENT, GENRE, TRACKNUMBER. A disc without titles
// (empty title list) adds nothing at all; otherwise every field with a value is
// added and TRACKNUMBER (trackNumber) always is. Values are the stored UTF-8
// text; a broken sequence is replaced by U+FFFD, since both formats require
// well-formed UTF-8. `comment` must have been initialised by the caller, who
// keeps owning it.
void AddTrackComments(vorbis_comment& comment, const AlbumInfo& tags, std::uint32_t trackIndex,
                      std::uint32_t trackNumber);

}  // namespace tesslow
