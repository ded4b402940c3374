#pragma once

#include "platform/unique_fd.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tesslow {

// Replaces the file at `path` with `bytes` so that readers and a crash see either
// the old file or the new one, never a mix: the bytes go to a temporary file in
// the same folder, are flushed to disk, and the temporary file is renamed over
// the old one. An existing file keeps its permission bits; a new one gets 0644.
// Returns false with errno set on failure, leaving the old file untouched and no
// temporary file behind.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole regular file of at most `limit` bytes. Nothing when it is
// missing, unreadable, larger than the limit, or not a regular file (errno
// EINVAL): a named pipe or a device is refused at once rather than waited on.
// With `cut` given, a larger file gives its first `limit` bytes and sets it.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t limit, bool* cut = nullptr);

// An exclusive advisory lock (flock) on `lockPath`, created if missing, held
// until destruction. Serialises read-modify-write cycles between processes.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& lockPath);
    bool Locked() const { return fd_.Valid(); }

private:
    UniqueFd fd_;
};

}  // namespace tesslow
