#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tesslow {

// The table of contents as the MusicBrainz disc identifier sees it. Offsets are
// in sectors counted from the start of the disc, so LBA + 150; offsets[0] is
// the lead-out and offsets[n] the start of track n (0 for numbers the table does
// not list).
struct DiscIdToc {
    int firstTrack = 1;
    int lastTrack = 0;
    std::array<int, 100> offsets{};

    bool operator==(const DiscIdToc&) const = default;
};

// Reads the disc identifier's input from a raw READ TOC (format 0) answer: every
// track descriptor, audio or data, up to the lead-out (AAh).
//
// An enhanced CD (audio tracks, then data tracks in a later session) is
// identified by its audio session alone, as the web service does: the last
// track is the last audio track and the lead-out is the first trailing data
// track's start − 11400 (the session gap). A mixed-mode disc (data track first)
// keeps its data track, and so does a disc whose trailing data track starts too
// close to the audio for a session gap (it is in the audio's session).
//
// Throws std::runtime_error("Internal error #1593.") when the table has no
// lead-out or a track number outside 1..99.
DiscIdToc DiscIdTocFromRawToc(std::span<const std::uint8_t> rawToc);

// The 28-character MusicBrainz disc identifier, computed by libdiscid. Throws
// std::runtime_error("Internal error #1593.") when libdiscid refuses the table.
std::string ComputeDiscId(const DiscIdToc& toc);

// DiscIdTocFromRawToc followed by ComputeDiscId.
std::string DiscIdFromRawToc(std::span<const std::uint8_t> rawToc);

}  // namespace tesslow
