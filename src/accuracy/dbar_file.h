#pragma once

#include "accuracy/accuraterip_id.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tesslow {

// One pressing's (or variant's) checksums in the AccurateRip database.
struct DbarResponse {
    struct Track {
        std::uint8_t confidence = 0;  // 0: no usable entry
        std::uint32_t crc = 0;        // the track's v1 or v2 checksum (the file does not say which)
        std::uint32_t frame450 = 0;
    };
    std::uint32_t id1 = 0, id2 = 0, freedb = 0;
    std::vector<Track> tracks;
};

// What a dBAR file held for a disc, read strictly: its responses, one after
// the other, each a track count (u8), the disc's three ids (u32, little-
// endian) and per track a confidence (u8), a checksum and a frame-450 sum
// (u32 each). A response whose ids are not the disc's is dropped; so is what
// is left when the file ends inside a response. `problem` says so, once, in
// English ("2 responses for another disc were dropped"); empty when the file
// was read whole.
struct DbarFile {
    std::vector<DbarResponse> responses;
    std::string problem;
};

DbarFile ParseDbar(std::span<const std::uint8_t> bytes, const AccurateRipId& disc);

}  // namespace tesslow
