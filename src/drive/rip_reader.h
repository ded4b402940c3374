#pragma once

#include "drive/damage_check.h"
#include "drive/read_offset.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace tesslow {

class ScsiCommand;

// What the extraction of one track cannot vouch for (see DamageCheck). All
// the sector counts are zero for a track known to be exact; a track with
// correction off is never vouched for beyond its reads having succeeded.
struct ExtractionReport : DamageVerdict {
    std::uint32_t readErrors = 0;  // failed drive reads, retried by the library
    std::uint32_t fixups = 0;      // jitter repaired by the library (not a doubt)
    // Samples at the track's start and end given as silence: the read offset
    // puts them outside the disc's audio and they were not overread.
    OutsideSamples silent;

    bool Exact() const { return unreadableSectors == 0 && unverifiedSectors == 0; }
};

// Reads the sectors of one track, in order, through the paranoia library,
// which drives the program's own reads: READ CD commands of up to 26 sectors
// sent through `drive`, corrected by the drive's read offset (ReadCorrected),
// so the library and the damage check see the disc's audio in place. With jitter correction the library runs in mode DFh
// (verify, fragment, overlap, scratch and repair checks; skipping allowed, so
// after 5 failed verification rounds it accepts the best data it has, or
// silence); without it in mode 0, plain reads. The library never reads
// before the track's first sector.
//
// The library has no way to be told to stop. Once `stop` is set, every drive
// read fails at once without a command and the library gives up at its next
// read; ReadSector then answers nullptr. Without jitter correction a failed
// drive read ends the track too (the library would otherwise hand out zeros
// as if they were audio); with correction only a lost medium or drive does,
// and failed reads are retried by the library. After a failed read the
// library gets every sector the drive can read, each readable stretch from
// one command; an unreadable sector of the track is silence, and the read
// ends short at the first unreadable sector after the track's end.
//
// The library verifies a sector by overlapping reads that run past it, so with
// correction it is allowed to read up to 150 sectors past the track's end
// (without, none: a sector it cannot read there is none of this track's
// business), but never at or beyond `readableEnd` (the lead-out, or the end of
// the track's session: the first sector the drive cannot read). Where it had
// nothing true to verify against (next to a sector that could not be read, or
// at a track's end with nothing readable after it) the delivered sectors are
// checked against plain reads of their own (DamageCheck); what no read
// confirms is reported, never changed.
//
// Report() tells what could not be vouched for; it is complete once the last
// sector has been delivered. One thread uses a reader; `drive` and `stop`
// must outlive it.
class RipReader {
public:
    // `sectorsRead`, when given, counts the sectors of the track the drive
    // has read so far, every read of them (the library reads ahead of what it
    // has verified, and with correction reads everything at least twice).
    RipReader(std::shared_ptr<ScsiCommand> drive, std::int32_t firstSector, std::int32_t sectorCount,
              std::int32_t readableEnd, bool jitterCorrection, const ReadOffset& offset,
              const std::atomic<bool>& stop, std::atomic<std::int64_t>* sectorsRead = nullptr);
    ~RipReader();
    RipReader(const RipReader&) = delete;
    RipReader& operator=(const RipReader&) = delete;

    // The next sector: 2352 bytes of little-endian stereo samples, valid
    // until the next call. nullptr when the library gave up (read error, or
    // the stop was seen). Never called more than sectorCount times.
    const std::uint8_t* ReadSector();

    ExtractionReport Report() const;

private:
    struct Library;
    std::unique_ptr<Library> library_;
};

}  // namespace tesslow
