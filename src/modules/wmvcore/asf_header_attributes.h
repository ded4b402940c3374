#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wmvcore {

// File-wide binary attributes: (name, value), name UTF-8.
using BinaryAttributes = std::vector<std::pair<std::string, std::string>>;

// Adds binary attributes (WM/Picture) to the header of the finished ASF file
// open as `fd`, which FFmpeg's muxer writes with text attributes only: a
// value of up to 65535 bytes goes into the Extended Content Description
// (made when the header has none), a larger one into a Metadata Library
// object inside the Header Extension. The header grows; the packets and the
// index after it are written back unchanged, and the file size in the File
// Properties is set anew. Answers 0, or the errno of a failed read or write
// (EINVAL for a header it cannot find its way through).
int AddBinaryAttributes(int fd, const BinaryAttributes& attributes);

}  // namespace wmvcore
