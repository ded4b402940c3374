#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tesslow {

// The identity of a disc in the AccurateRip database, from its table of
// contents: the number of audio tracks, two sums over their start sectors and
// the disc's lead-out, and the FreeDB (CDDB1) id over every track.
//
// Only audio tracks count in the sums, numbered from 1 in disc order (a data
// track 1 of a mixed-mode disc is left out); the lead-out is the disc's own
// (on an enhanced CD the one after the data session, not the end of the audio
// session). The FreeDB id counts every track, data tracks included.
struct AccurateRipId {
    int audioTracks = 0;
    std::uint32_t id1 = 0;
    std::uint32_t id2 = 0;
    std::uint32_t freedb = 0;

    // "NNN-id1-id2-freedb": 012-0013bd5a-00b8d489-c60af50d
    std::string Text() const;
    // The database file's path below the server:
    // "/accuraterip/a/5/d/dBAR-012-0013bd5a-00b8d489-c60af50d.bin"
    std::string DbarPath() const;

    bool operator==(const AccurateRipId&) const = default;
};

// From a READ TOC format 0 answer (LBA addresses) as the disc record keeps it.
// Nothing when it holds no audio track or no lead-out.
std::optional<AccurateRipId> AccurateRipIdOf(std::span<const std::uint8_t> rawToc);

// Where each audio track's checksum sits in a database response: its position
// among all of the disc's tracks (a mixed-mode disc's data track 1 takes the
// first entry). One per audio track, in disc order.
std::vector<std::size_t> AccurateRipEntries(std::span<const std::uint8_t> rawToc);

}  // namespace tesslow
