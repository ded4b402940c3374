#pragma once

#include "app/cd_text.h"
#include "drive/toc_parser.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

class DiscRecords;
struct DiscRecord;
class ScsiCommand;

// Reads the whole READ TOC format-0 answer: the header and first descriptor
// from track 1, then everything from the first track with the total length.
// Answers the status of the first command that failed, else 0.
std::int32_t ReadWholeToc(ScsiCommand& drive, std::vector<std::uint8_t>& rawToc);

// READ TOC format 1; a single session when the drive does not answer.
SessionInfo ReadSessionInfo(ScsiCommand& drive);

// READ TOC format 5: the header, then the whole answer. Nothing when the
// drive refuses it (as many do for a disc without CD-Text) or no valid pack
// came back.
std::optional<CdText> ReadCdText(ScsiCommand& drive);

// Reads the table of contents of the disc in `driveKey` into its record, for
// the tracks page and the title look-up. Creates and opens the record's drive
// object when it has none (a failed open shows up as a failed READ TOC).
// When the TOC is byte-for-byte the stored one the disc has not changed and
// the record stays as it is; otherwise the new TOC is stored and parsed, the
// CD-Text read and the record's album cleared. Throws std::runtime_error "Cannot read
// disc's TOC. Is this disc readable?" when a READ TOC fails.
//
// Runs on the calling thread and writes the record without locking; callers
// take turns with the other users of the record (see DiscRecords).
void ReadToc(DiscRecords& records, const std::string& driveKey);

// The start of audio track `index` (0-based; 0 past the end and for the hidden
// track, kHiddenTrackIndex).
std::int32_t TrackStartSector(const DiscRecord& record, std::size_t index);

}  // namespace tesslow
