#pragma once

#include <string>

namespace tesslow {

// The system's message for an errno value, as shown inside user messages such as
// "cannot create file (%1%)": trailing full stops, line feeds and carriage
// returns are removed.
std::string SystemErrorText(int errorNumber);

// A file system failure in the words a user acts on, then the system's text:
// "the disk is full: No space left on device", "the folder is read-only:
// Permission denied", "a file is in the way: Is a directory", "the file is
// larger than allowed: File too large". Any other error: the system's text.
std::string FileErrorText(int errorNumber);

}  // namespace tesslow
