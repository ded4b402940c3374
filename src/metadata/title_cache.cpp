#include "metadata/title_cache.h"

#include "platform/atomic_file.h"
#include "platform/keep_aside.h"
#include "platform/paths.h"

#include <cerrno>
#include <system_error>

namespace tesslow {

namespace fs = std::filesystem;

fs::path DefaultTitleCachePath() { return DataHome() / "Corvalen" / "CDDBCache.xml"; }

TitleCache::TitleCache(fs::path file) : file_(std::move(file)) {}

void TitleCache::LoadOnce()
{
    if (loaded_) return;
    loaded_ = true;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(file_, error))) return;
    if (const std::optional<std::string> bytes = ReadWholeFile(file_, kTitleCacheFileLimit)) {
        if (bytes->empty()) return;  // nothing to lose
        TitleCacheContents contents = ParseTitleCache(*bytes);
        entries_ = std::move(contents.entries);
        fileState_ = contents.state;
    } else {
        fileState_ = TitleCacheContents::State::Damaged;  // there, but not readable
    }
}

std::optional<AlbumInfo> TitleCache::Find(const std::string& discId)
{
    std::lock_guard lock(mutex_);
    LoadOnce();
    const auto found = entries_.find(discId);
    if (found == entries_.end()) return std::nullopt;
    return found->second;
}

void TitleCache::Store(const std::string& discId, const AlbumInfo& album)
{
    std::lock_guard lock(mutex_);
    LoadOnce();
    entries_.insert_or_assign(discId, album);
}

bool TitleCache::Write()
{
    std::lock_guard lock(mutex_);
    LoadOnce();
    if (entries_.empty() || fileState_ == TitleCacheContents::State::Newer) return true;
    if (fileState_ == TitleCacheContents::State::Damaged) {
        if (!KeepAside(file_)) return false;
        fileState_ = TitleCacheContents::State::Whole;
    }
    std::error_code error;
    if (file_.has_parent_path()) fs::create_directories(file_.parent_path(), error);
    if (error) {
        errno = error.value();
        return false;
    }
    return WriteFileAtomically(file_, SerializeTitleCache(entries_));
}

TitleCacheEntries TitleCache::Entries()
{
    std::lock_guard lock(mutex_);
    LoadOnce();
    return entries_;
}

}  // namespace tesslow
