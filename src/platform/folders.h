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

// Why files cannot be put into `folder` (it, or the nearest folder above it
// that exists and would hold the folders to be made, is not a folder or
// cannot be written); empty when they can. Writing is tried: a probe file is
// created and removed, which also tells the truth for root and on read-only
// mounts, where permission bits do not.
std::string FolderProblem(const std::string& folder);

// The part of a path after its last slash, or the whole path without one.
std::string FileNameOf(const std::string& path);

}  // namespace tesslow
