// A dBAR file as the AccurateRip server sends it. The disc asked about is
// taken from the file's own first response (track count and ids), so that
// both the matching and the foreign responses are read.

#include "fuzz_check.h"

#include "accuracy/dbar_file.h"

#include <cstdint>

namespace {

std::uint32_t LittleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    AccurateRipId disc;
    if (size >= 13) {
        disc.audioTracks = data[0];
        disc.id1 = LittleEndian32(data + 1);
        disc.id2 = LittleEndian32(data + 5);
        disc.freedb = LittleEndian32(data + 9);
    }
    const DbarFile file = ParseDbar(std::span<const std::uint8_t>(data, size), disc);
    std::size_t used = 0;
    for (const DbarResponse& response : file.responses) {
        FUZZ_CHECK(response.id1 == disc.id1 && response.id2 == disc.id2 && response.freedb == disc.freedb);
        used += 13 + 9 * response.tracks.size();
    }
    FUZZ_CHECK(used <= size);
    return 0;
}
