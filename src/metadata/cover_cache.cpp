#include "metadata/cover_cache.h"

#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/system_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace tesslow {

namespace fs = std::filesystem;

namespace {

bool IsKey(const std::string& key)
{
    return !key.empty() && key.size() <= 100 && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
    });
}

// FNV-1a over the bytes: names a copy by its content.
std::string ContentName(const std::string& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("own-") + text;
}

}  // namespace

fs::path DefaultCoverCacheFolder() { return DataHome() / "Corvalen" / "Covers"; }

CoverCache::CoverCache(fs::path folder) : folder_(std::move(folder)) {}

std::string CoverCache::ReleaseKey(const std::string& releaseId, int size)
{
    return releaseId + "-" + (size == 0 ? std::string("front") : std::to_string(size));
}

std::optional<CoverPicture> CoverCache::Find(const std::string& key) const
{
    if (!IsKey(key)) return std::nullopt;
    for (const char* extension : {".jpg", ".png"})
        if (auto picture = ReadCoverPictureFile(folder_ / (key + extension))) return picture;
    return std::nullopt;
}

std::optional<fs::path> CoverCache::Store(const std::string& key, const CoverPicture& picture) const
{
    if (!IsKey(key)) return std::nullopt;
    const fs::path path = folder_ / (key + picture.Extension());
    if (MakeDirectoryPath(folder_.string()) != 0 || !WriteFileAtomically(path, picture.bytes)) return std::nullopt;
    return path;
}

std::optional<fs::path> CoverCache::KeepOwn(const CoverPicture& picture) const
{
    const std::string key = ContentName(picture.bytes);
    if (auto same = ReadCoverPictureFile(folder_ / (key + picture.Extension())); same && *same == picture)
        return folder_ / (key + picture.Extension());
    return Store(key, picture);
}

std::optional<CoverPicture> ReadCoverPictureFile(const fs::path& path, std::string* why)
{
    errno = 0;
    std::optional<std::string> bytes = ReadWholeFile(path, kCoverPictureLimit);
    if (!bytes) {
        if (why) *why = errno == 0 ? "larger than 16 MB" : errno == EINVAL ? "not a file" : FileErrorText(errno);
        return std::nullopt;
    }
    return ReadCoverPicture(std::move(*bytes), why);
}

}  // namespace tesslow
