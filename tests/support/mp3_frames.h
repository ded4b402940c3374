#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tesslow::test {

// One MPEG audio Layer III frame found in a file.
struct Mp3Frame {
    std::size_t offset = 0;
    std::size_t size = 0;
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channels = 0;
    bool infoHeader = false;  // carries a "Xing" or "Info" header
};

// Size of the ID3v2 tag at the start of `file` (header included), 0 when
// there is none.
std::size_t Id3v2Size(std::string_view file);

// The chain of consecutive Layer III frames starting at `start`; it ends at
// the first position that does not hold a valid frame header (an ID3v1 tag,
// the end of the file, garbage).
std::vector<Mp3Frame> Mp3Frames(std::string_view file, std::size_t start);

}  // namespace tesslow::test
