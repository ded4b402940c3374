#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tesslow {

// Drive and disc conditions of the emulated drive, written in a CUE sheet as
// "REM TESSLOW <condition> <arguments>" lines (docs/emulated-drive.md lists
// them). Everything is deterministic: the only chance element, the direction
// of a jittered read, comes from a generator seeded with `seed`.
struct DriveConditions {
    bool noDisc = false;                 // NO-DISC: NOT READY 02/3A/00
    bool trayOpen = false;               // TRAY-OPEN: NOT READY 02/3A/02
    std::uint16_t profile = 0x0008;      // PROFILE: current profile of GET CONFIGURATION
    bool recordable = false;             // CD-R: a real last possible lead-out time
    bool erasable = false;               // ERASABLE: CD-RW
    bool blank = false;                  // BLANK: disc status 0, no table of contents
    bool incomplete = false;             // INCOMPLETE: disc status 1 (appendable)
    bool noGetConfiguration = false;     // NO-GET-CONFIGURATION: 05/20/00
    int ejectBusyTries = 0;              // EJECT-BUSY n: first n START STOP UNIT answer 02/04/07
    std::vector<std::pair<std::int32_t, std::int32_t>> unreadable;  // UNREADABLE first last: 03/11/00
    int jitterSamples = 0;               // JITTER samples [boundary]
    int jitterBoundary = 75;             // sectors; reads starting on a multiple are exact
    std::uint32_t speedLimit = 0;        // SPEED: sectors per second, 0 = as fast as the host reads
    std::uint32_t delayMilliseconds = 0; // DELAY: per command
    std::uint64_t seed = 1;              // SEED
    std::int32_t readOffset = 0;         // OFFSET n: a READ CD of sector s delivers the disc's samples from s x 588 - n
    bool overread = false;               // OVERREAD: sectors just outside the disc can be read
    std::string vendor = "TESSLOW";      // INQUIRY "vendor" "product": the drive model's strings
    std::string product = "EMULATED CD-ROM";
    // FLAKY first last [reads]: the first `reads` READ CDs touching the range
    // (0: every one) return a few samples altered, with no error.
    struct FlakyRange {
        std::int32_t first = 0, last = 0;
        std::uint32_t reads = 0;
    };
    std::vector<FlakyRange> flaky;
    // The Q sub-channel as drives deliver it with READ CD.
    bool noSubchannel = false;           // NO-SUBCHANNEL: READ CD with sub-channel data refused 05/24/00
    int qBadCrcPercent = 0;              // QCRC percent: that share of frames come with a bad CRC
    bool qBinary = false;                // QBINARY: positions and times in binary, not BCD
    std::int32_t qShift = 0;             // QSHIFT n: the Q of the sector n sectors on (n may be negative)
    // CD-Text as READ TOC format 5 delivers it.
    std::uint32_t cdTextBadCrcEvery = 0; // CDTEXT-BADCRC n: every n-th pack has a wrong CRC
    std::string cdTextFile;              // CDTEXT-FILE name: the packs come from this file beside the sheet
};

// Applies one condition line's words (after "REM TESSLOW"). Throws
// std::invalid_argument with a message for an unknown condition or a bad
// argument.
void ApplyCondition(DriveConditions& conditions, const std::vector<std::string>& words);

}  // namespace tesslow
