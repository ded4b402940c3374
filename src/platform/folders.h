#pragma once

#include <string>

namespace tesslow {

// Creates a folder and every missing folder above it, outermost first, and
// stops at the first one that cannot be created. Answers 0, or the error
// (errno value) of the folder that could not be made, so that the failure to
// create a file in it can say why ("Read-only file system", not "No such
// file or directory"). A trailing slash is ignored. The process's current
// folder is not changed.
int MakeDirectoryPath(const std::string& path);

// Creates the folder that will hold the file at `path` (everything before the
// last slash), when that is not empty; answers as MakeDirectoryPath.
int EnsureParentDirectory(const std::string& path);

// The part of a path after its last slash, or the whole path without one.
std::string FileNameOf(const std::string& path);

}  // namespace tesslow
