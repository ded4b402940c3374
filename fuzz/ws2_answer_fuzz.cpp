// Answers of the MusicBrainz web service: any bytes, read both as a disc
// identifier look-up and as a release. The disc identifier asked about is the
// first one the answer names, and the track count the first medium's, so that
// a well-formed answer gets past the choice of medium.

#include "metadata/ws2_answer.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string_view AttributeAfter(std::string_view text, std::string_view opening)
{
    const std::size_t start = text.find(opening);
    if (start == std::string_view::npos) return {};
    const std::size_t from = start + opening.size();
    const std::size_t end = text.find('"', from);
    if (end == std::string_view::npos || end - from > 100) return {};
    return text.substr(from, end - from);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    const std::string discId(AttributeAfter(xml, "<disc id=\""));
    const std::string_view countText = AttributeAfter(xml, "<track-list count=\"");
    std::size_t tracks = 1;
    std::from_chars(countText.data(), countText.data() + countText.size(), tracks);
    ReleasesFromDiscIdAnswer(xml, discId, tracks);
    AlbumFromReleaseAnswer(xml, discId, tracks);
    return 0;
}
