#pragma once

#include "app/album_info.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tesslow {

// The ID3 tags of an MP3 file, built from the disc's tags for one track
// (trackIndex: the track's position in tags.trackTitles). Pure functions: they
// never touch a file and never throw for any text.

// The ID3v2.4 tag written in front of the audio: a 10-byte header without
// flags, then one frame per field of BuildTrackTags under Picard's ID3 names
// (tag_names.h), in that order: text frames, TXXX frames and a COMM frame
// declared UTF-8, the recording id as the UFID of "http://musicbrainz.org";
// TRCK and TPOS as "number/total"; several values in one frame, separated by
// zero bytes. Sizes synchsafe, no padding. Empty when the disc has no titles.
//
// The date goes into TDRC when it is a timestamp (yyyy, yyyy-MM, yyyy-MM-dd):
// readers that know only the version-4 frame (TagLib's year, GStreamer,
// eyeD3) would otherwise show no date. A bare year (or a date that is no
// timestamp) also goes into TYER before it, for the readers that look for
// that; a fuller date does not, since FFmpeg lets TYER replace TDRC.
std::string BuildId3v2Tag(const AlbumInfo& tags, std::uint32_t trackIndex);
// The same with the track's number given (TRCK, and ID3v1's track byte).
std::string BuildId3v2Tag(const AlbumInfo& tags, std::uint32_t trackIndex, std::uint32_t trackNumber);

// The 128-byte ID3v1.1 tag appended behind the audio: "TAG", title, artist,
// album (30 bytes each), year (4), comment (28), a zero byte, the track
// number, the genre number; title, artist and date as BuildTrackTags gives them. Text fields are ISO-8859-1, cut to the field's
// width and zero-filled; a character outside ISO-8859-1 becomes '?'. Empty
// when the disc has no titles or the track's title is empty.
std::string BuildId3v1Tag(const AlbumInfo& tags, std::uint32_t trackIndex);
std::string BuildId3v1Tag(const AlbumInfo& tags, std::uint32_t trackIndex, std::uint32_t trackNumber);

// The number of the first ID3v1 genre whose name equals `genre` (UTF-8)
// ignoring letter case; 255 when none does or the genre is empty.
std::uint8_t Id3v1GenreNumber(std::string_view genre);

}  // namespace tesslow
