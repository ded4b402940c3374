#pragma once

#include "app/album_info.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace tesslow {

// The title cache's entries: disc identifier → what the web service said about
// the disc, ordered by byte-wise comparison of the identifiers.
using TitleCacheEntries = std::map<std::string, AlbumInfo>;

// Largest cache file that is read; a larger one is treated as unusable.
inline constexpr std::size_t kTitleCacheFileLimit = 64u << 20;

// The cache file's bytes: the XML declaration, then on the same line the root
// `cddbcache` (version "1"), its comment and one `disc` element per entry in
// identifier order, every field element always present, no whitespace between
// markup and no final line break. The five markup characters are written as
// entity references; a carriage return as a character reference, so that it
// reads back unchanged. Pure: no file is touched.
std::string SerializeTitleCache(const TitleCacheEntries& entries);

// What a cache file holds, and whether writing over it would lose anything.
struct TitleCacheContents {
    enum class State {
        Whole,    // every entry was read (or there was nothing to read)
        Damaged,  // some or all of it could not be read: keep it before writing over it
        Newer,    // a later version of the format: leave it alone
    };
    TitleCacheEntries entries;
    State state = State::Whole;
};

// The entries of a cache file. A well-formed `cddbcache` document of version
// "1" is read whole. Where the damage is local (a bad byte, a cut-off end, a
// document type declaration, stray markup around the entries), each `disc`
// element is read on its own, so one bad title costs one entry; no document
// type declaration is ever read. A `disc` without an identifier, or whose
// `tracknames` count is missing, not a decimal number or implausibly large,
// is skipped; a later `disc` with the same identifier replaces an earlier
// one. A version above "1" gives no entries and the state Newer. Never throws
// for bad input.
TitleCacheContents ParseTitleCache(std::string_view bytes);

}  // namespace tesslow
