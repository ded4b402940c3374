#pragma once

#include "app/album_info.h"
#include "metadata/title_cache_file.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace tesslow {

// $XDG_DATA_HOME/Corvalen/CDDBCache.xml, read from the environment at the call.
std::filesystem::path DefaultTitleCachePath();

// The titles of every disc the web service has named, kept for the whole run
// and in a file between runs. The file is read once, at the first Find or
// Store; what cannot be read of it is left out, never an error. Write
// replaces the whole file atomically (temporary file, then rename), so a crash
// or a full disk leaves the old file whole.
//
// Nothing the file held is lost: before the first write over a file that
// could not be read whole (damaged, too large, unreadable), the file is kept
// beside the cache (KeepAside: "CDDBCache.xml.unreadable"), and a file of a
// newer version of the format is never written over at all (this run's
// look-ups are then kept in memory only).
//
// One per program run, held by the caller and passed to each look-up. All
// methods are thread-safe.
class TitleCache {
public:
    explicit TitleCache(std::filesystem::path file = DefaultTitleCachePath());

    const std::filesystem::path& File() const { return file_; }

    std::optional<AlbumInfo> Find(const std::string& discId);
    // Inserts or replaces the entry; the file is not written until Write.
    void Store(const std::string& discId, const AlbumInfo& album);

    // Writes every entry to the file, creating its folder. An empty cache, or
    // a file of a newer version, writes nothing. False when the file could
    // not be written, or a damaged file could not be kept aside (errno set);
    // the entries stay in memory either way.
    bool Write();

    // The entries as they are now (loading the file first if needed).
    TitleCacheEntries Entries();

private:
    void LoadOnce();  // mutex_ held

    const std::filesystem::path file_;
    std::mutex mutex_;
    bool loaded_ = false;
    TitleCacheContents::State fileState_ = TitleCacheContents::State::Whole;
    TitleCacheEntries entries_;
};

}  // namespace tesslow
