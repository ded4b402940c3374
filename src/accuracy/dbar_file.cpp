#include "accuracy/dbar_file.h"

namespace tesslow {

namespace {

std::uint32_t ReadLe32(const std::uint8_t* at)
{
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24;
}

constexpr std::size_t kHeaderBytes = 13;
constexpr std::size_t kTrackBytes = 9;

}  // namespace

DbarFile ParseDbar(std::span<const std::uint8_t> bytes, const AccurateRipId& disc)
{
    DbarFile file;
    std::size_t foreign = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t tracks = bytes[at];
        const std::size_t size = kHeaderBytes + tracks * kTrackBytes;
        if (bytes.size() - at < size) {
            file.problem = "the file ends inside a response (" + std::to_string(bytes.size() - at) + " bytes were dropped)";
            break;
        }
        const std::uint8_t* response = bytes.data() + at;
        at += size;
        DbarResponse read;
        read.id1 = ReadLe32(response + 1);
        read.id2 = ReadLe32(response + 5);
        read.freedb = ReadLe32(response + 9);
        if (read.id1 != disc.id1 || read.id2 != disc.id2 || read.freedb != disc.freedb) {
            ++foreign;
            continue;
        }
        for (std::size_t t = 0; t < tracks; ++t) {
            const std::uint8_t* track = response + kHeaderBytes + t * kTrackBytes;
            read.tracks.push_back({track[0], ReadLe32(track + 1), ReadLe32(track + 5)});
        }
        file.responses.push_back(std::move(read));
    }
    if (foreign > 0) {
        const std::string dropped = std::to_string(foreign) + (foreign == 1 ? " response" : " responses") +
                                    " for another disc " + (foreign == 1 ? "was" : "were") + " dropped";
        file.problem = file.problem.empty() ? dropped : dropped + "; " + file.problem;
    }
    return file;
}

}  // namespace tesslow
