#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tesslow {

// The table of contents as a drive returns it for READ TOC format 0 with LBA
// addresses: a 4-byte header (data length, first and last track number) and
// 8-byte track descriptors, the lead-out descriptor last. A DiscRecord keeps
// it exactly as received; the drive layer and the disc identifier read it.

// Track number of the lead-out descriptor.
inline constexpr std::uint8_t kLeadOutTrack = 0xAA;
// ADR/control bit of a data track.
inline constexpr std::uint8_t kControlDataTrack = 0x04;
// Sectors between the end of one session and the first track of the next:
// lead-out (6750), lead-in (4500) and the track's pregap (150). None of them
// holds audio and none can be read.
inline constexpr std::int32_t kSessionGapSectors = 11400;
// LBA 0 lies two seconds into the disc: absolute addresses (MSF, the disc
// identifier's offsets) are LBA + 150.
inline constexpr std::int32_t kLbaOrigin = 150;

struct TocDescriptor {
    std::uint8_t control = 0;  // ADR/control byte
    std::uint8_t number = 0;   // track number, AAh for the lead-out
    std::int32_t start = 0;    // LBA

    bool Data() const { return (control & kControlDataTrack) != 0; }
    bool LeadOut() const { return number == kLeadOutTrack; }
    bool operator==(const TocDescriptor&) const = default;
};

// The descriptors of a raw TOC in order: those inside both the bytes and the
// header's data length, up to and including the lead-out. A damaged answer
// gives what can be read of it; nothing here throws.
std::vector<TocDescriptor> DecodeRawToc(std::span<const std::uint8_t> rawToc);

// True when the TOC's descriptor of track `number` has the pre-emphasis bit
// (control 01h); false for a track it does not list.
bool PreEmphasised(std::span<const TocDescriptor> toc, int number);

}  // namespace tesslow
