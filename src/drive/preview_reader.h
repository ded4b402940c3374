#pragma once

#include "drive/scsi_command.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tesslow {

class DiscRecords;

// Reads raw audio for the track preview: one sector per READ CD, at single
// speed, from a first sector for a number of sectors, without jitter
// correction but corrected by the read offset remembered for the drive model.
// Destruction sets the drive back to its maximum speed, so a rip through the
// same handle afterwards does not read at single speed.
//
// Its drive object is its own command block over the handle of the record's
// drive when the record holds an open one (borrowed: left open afterwards),
// otherwise a drive it opens and closes itself. Creation throws
// std::runtime_error "Cannot access CD drive: %1%." (the system's reason) when
// the drive cannot be opened, and "Internal error #141." when the record has
// no table of contents. One thread uses a reader.
class PreviewReader {
public:
    PreviewReader(DiscRecords& records, const std::string& driveKey, std::int32_t firstSector,
                  std::int32_t sectorCount);
    ~PreviewReader();
    PreviewReader(const PreviewReader&) = delete;
    PreviewReader& operator=(const PreviewReader&) = delete;

    // Fills up to `size` bytes (at most kPreviewChunkBytes are asked for) and
    // answers how many; 0 at the end of the range or when a read fails.
    std::size_t Read(std::uint8_t* buffer, std::size_t size);

private:
    std::size_t Deliver(std::uint8_t* buffer, std::size_t size);

    ScsiCommand drive_;
    std::array<std::uint8_t, 4096> queue_{};  // read but not yet delivered
    std::size_t queueStart_ = 0, queueSize_ = 0;
    std::int32_t firstSector_ = 0;
    std::int32_t sectorCount_ = 0;
    std::int32_t nextSector_ = 0;
    std::int32_t offset_ = 0;    // the drive's read offset correction, in samples
    std::int32_t audioEnd_ = 0;  // the first sector after the disc's audio
};

// The preview pipe is written in blocks of 16 sectors.
inline constexpr std::size_t kPreviewChunkBytes = 0x9300;

}  // namespace tesslow
