#pragma once

#include "app/album_info.h"

#include <vorbis/codec.h>

#include <cstdint>

namespace tesslow {

// Adds one track's tags (BuildTrackTags) to a libvorbis comment structure as
// "NAME=value" entries under Picard's Vorbis names (tag_names.h), in the order
// Ogg Vorbis and FLAC files both carry them. A disc without titles adds
// nothing at all. Values are well-formed UTF-8, as both formats require.
// `comment` must have been initialised by the caller, who keeps owning it.
void AddTrackComments(vorbis_comment& comment, const AlbumInfo& tags, std::uint32_t trackIndex,
                      std::uint32_t trackNumber);

}  // namespace tesslow
