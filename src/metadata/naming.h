#pragma once

#include "app/disc_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tesslow {

// Turns a disc's metadata into names on disk. Metadata comes from the network,
// so whatever it holds, a name built here stays inside the output folder: no
// component is "." or "..", control characters and the characters :*?/<>"| become
// "_", and a backslash (in the template or the metadata) makes a subfolder.

// Expands a name template for track index t of the disc:
//   %1 album artist ("Unknown artist"), %2 the track's title ("Track NN"),
//   %3 album ("Unknown album"), %4 year (nothing), %5 the CD track number "NN".
// Any other "%x" and a final "%" are copied. A track without a title entry is
// named "Track NN" whatever the template says. Trailing full stops are removed,
// also before each subfolder separator. The result uses "/" between folders.
// Each folder and the file name fit the file system's 255 bytes, the file
// name leaving room for an extension of `extensionBytes`: when they would not,
// the placeholders' texts are cut, longest first and at a character boundary,
// so that the track number and the extension stay whole and the tracks of a
// disc keep names of their own.
std::string ExpandNameTemplate(const DiscRecord& disc, std::uint32_t t, std::string_view nameTemplate,
                               std::size_t extensionBytes = 0);

// True when the template holds the track's title (%2) or number (%5), so
// that the tracks of a disc get names of their own ("%%5" is no placeholder).
bool TemplateTellsTracksApart(std::string_view nameTemplate);

struct SubfolderChoice {
    bool artist = false;       // CreateArtistSubfolder
    bool album = false;        // CreateAlbumSubfolder
    bool yearInAlbum = false;  // AddYearToFolderName
};

// The job's output folder: the destination folder as typed, then the artist
// subfolder ("\%1") and the album subfolder ("\%4 %3" when the year is wanted
// and known, else "\%3"), both expanded for the disc's first track. The
// "Track NN" rule of a track without a title is for file names: on a disc
// without titles the subfolders are "Unknown artist" and "Unknown album"
// (or what the disc's fields say), always below the destination. Each folder
// they add is shortened to 255 bytes at a character boundary.
std::string ComposeOutputFolder(const std::string& destination, const SubfolderChoice& choice, const DiscRecord& disc);

// The full path of a track's file: the folder, a slash unless it ends with
// one, the expanded name and the extension. Every component the name adds is
// shortened at a character boundary to the file system's 255 bytes, the
// extension kept.
std::string OutputFilePath(const std::string& folder, const std::string& expandedName, const std::string& extension);

// `path` with " (2)", " (3)", ... before its extension, the name shortened at
// a character boundary where that is needed to stay within 255 bytes.
std::string NumberedPath(const std::string& path, int number);

}  // namespace tesslow
