#pragma once

#include "encoding/track_tags.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tesslow {

// The tag layouts Tesslow writes.
enum class TagFormat : std::uint8_t {
    Id3v2,   // MP3
    Vorbis,  // FLAC and Ogg Vorbis comments
    Ape,     // Monkey's Audio APEv2 items
    Asf,     // WMA header attributes
};

// What each format calls a field, as MusicBrainz Picard names it, so that
// Picard and the players that follow it find every value. In the ID3v2 column
// "TXXX:<description>" is a user text frame, "UFID:<owner>" a unique file
// identifier, "COMM" a comment. kFoldedIntoNumber marks a total that the
// format writes inside the number's own value ("5/12"); an empty name, a
// field the format does not carry.
inline constexpr std::string_view kFoldedIntoNumber = "/";

struct TagNames {
    TagField field;
    std::string_view id3;
    std::string_view vorbis;
    std::string_view vorbisAlias;  // the same value once more under this name, for readers that know only it
    std::string_view ape;
    std::string_view asf;
};

inline constexpr std::array<TagNames, 24> kTagNames{{
    {TagField::Title, "TIT2", "TITLE", "", "Title", "Title"},
    {TagField::Artist, "TPE1", "ARTIST", "", "Artist", "Author"},
    {TagField::Album, "TALB", "ALBUM", "", "Album", "WM/AlbumTitle"},
    {TagField::AlbumArtist, "TPE2", "ALBUMARTIST", "", "Album Artist", "WM/AlbumArtist"},
    {TagField::TrackNumber, "TRCK", "TRACKNUMBER", "", "Track", "WM/TrackNumber"},
    {TagField::TrackTotal, kFoldedIntoNumber, "TRACKTOTAL", "TOTALTRACKS", kFoldedIntoNumber, ""},
    {TagField::DiscNumber, "TPOS", "DISCNUMBER", "", "Disc", "WM/PartOfSet"},
    {TagField::DiscTotal, kFoldedIntoNumber, "DISCTOTAL", "TOTALDISCS", kFoldedIntoNumber, kFoldedIntoNumber},
    {TagField::Date, "TDRC", "DATE", "", "Year", "WM/Year"},
    {TagField::Genre, "TCON", "GENRE", "", "Genre", "WM/Genre"},
    {TagField::Comment, "COMM", "COMMENT", "", "Comment", "Description"},
    {TagField::Isrc, "TSRC", "ISRC", "", "ISRC", "WM/ISRC"},
    {TagField::Barcode, "TXXX:BARCODE", "BARCODE", "", "Barcode", "WM/Barcode"},
    {TagField::CatalogNumber, "TXXX:CATALOGNUMBER", "CATALOGNUMBER", "", "CatalogNumber", "WM/CatalogNo"},
    {TagField::Label, "TPUB", "LABEL", "", "Label", "WM/Publisher"},
    {TagField::Media, "TMED", "MEDIA", "", "Media", "WM/Media"},
    {TagField::ReleaseCountry, "TXXX:MusicBrainz Album Release Country", "RELEASECOUNTRY", "", "RELEASECOUNTRY",
     "MusicBrainz/Album Release Country"},
    {TagField::ReleaseId, "TXXX:MusicBrainz Album Id", "MUSICBRAINZ_ALBUMID", "", "MUSICBRAINZ_ALBUMID",
     "MusicBrainz/Album Id"},
    {TagField::ReleaseGroupId, "TXXX:MusicBrainz Release Group Id", "MUSICBRAINZ_RELEASEGROUPID", "",
     "MUSICBRAINZ_RELEASEGROUPID", "MusicBrainz/Release Group Id"},
    {TagField::ArtistId, "TXXX:MusicBrainz Artist Id", "MUSICBRAINZ_ARTISTID", "", "MUSICBRAINZ_ARTISTID",
     "MusicBrainz/Artist Id"},
    {TagField::AlbumArtistId, "TXXX:MusicBrainz Album Artist Id", "MUSICBRAINZ_ALBUMARTISTID", "",
     "MUSICBRAINZ_ALBUMARTISTID", "MusicBrainz/Album Artist Id"},
    {TagField::RecordingId, "UFID:http://musicbrainz.org", "MUSICBRAINZ_TRACKID", "", "MUSICBRAINZ_TRACKID",
     "MusicBrainz/Track Id"},
    {TagField::ReleaseTrackId, "TXXX:MusicBrainz Release Track Id", "MUSICBRAINZ_RELEASETRACKID", "",
     "MUSICBRAINZ_RELEASETRACKID", "MusicBrainz/Release Track Id"},
    {TagField::DiscId, "TXXX:MusicBrainz Disc Id", "MUSICBRAINZ_DISCID", "", "MUSICBRAINZ_DISCID",
     "MusicBrainz/Disc Id"},
}};

// The table's row for a field.
const TagNames& NamesOf(TagField field);

// A track's tags as one format names and lays them out: (name, value) pairs
// in TagField order. A total folded into its number becomes "number/total".
// Several values of one field: Vorbis comments repeat the name once per
// value; ID3v2 and APEv2 carry one value with the values separated by a zero
// byte (the separator both layouts define); ASF carries one attribute with the
// values joined by "/", which no MusicBrainz id contains (the attribute
// writer keeps one value per name).
std::vector<std::pair<std::string, std::string>> NamedTags(const std::vector<TrackTag>& tags, TagFormat format);

}  // namespace tesslow
