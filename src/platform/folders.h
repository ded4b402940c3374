#pragma once

#include <string>

namespace tesslow {

// Creates a folder and every missing folder above it, outermost first, and
// stops at the first one that cannot be created. Reports nothing: a folder
// that could not be made shows up as the failure to create a file in it. A
// trailing slash is ignored. The process's current folder is not changed.
void MakeDirectoryPath(const std::string& path);

// Creates the folder that will hold the file at `path` (everything before the
// last slash), when that is not empty.
void EnsureParentDirectory(const std::string& path);

// The part of a path after its last slash, or the whole path without one.
std::string FileNameOf(const std::string& path);

}  // namespace tesslow
