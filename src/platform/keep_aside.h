#pragma once

#include <filesystem>
#include <optional>

namespace tesslow {

// Moves a file that is about to be written over, but could not be read, out
// of the way beside itself, so that nothing in it is lost: "<name>.unreadable",
// or "<name>.unreadable.2", ".3", ... when that name is taken. An earlier
// kept copy is never replaced. Answers the new path, or nothing (errno set)
// when the file could not be moved; the caller must then not write.
std::optional<std::filesystem::path> KeepAside(const std::filesystem::path& file);

}  // namespace tesslow
