#pragma once

#include "app/disc_record.h"
#include "app/drive_profile.h"
#include "drive/disc_subcode.h"
#include "ripper/rip_report.h"

#include <optional>
#include <string>
#include <vector>

namespace tesslow {

// Everything a rip log tells.
struct RipLogInput {
    std::string version;               // the program's
    std::string created;               // "2026-12-08T12:00:00Z"
    DriveModel drive;
    bool recordableDisc = false;       // CD-R or CD-RW
    bool jitterCorrection = false;
    bool verifyReads = false;
    ReadOffsetUsed offset;
    const DiscRecord* disc = nullptr;
    std::string musicBrainzDiscId;     // empty when it could not be worked out
    std::string folder;                // the output folder, with its trailing slash: file names are given below it
    DiscSubcode subcode;               // gaps, catalog number, ISRCs, pre-emphasis as the disc gave them
    std::vector<TrackOutcome> tracks;  // the tracks the job finished, in ripping order
    std::optional<AccuracyOutcome> accuracy;
    std::optional<CoverOutcome> cover;  // what the files carry as their front cover
    std::optional<AlbumGainOutcome> albumGain;
    bool canceled = false;
};

// The log in the shape of whipper's YAML log, which the tools of music
// archives read: "Log created by", "Log creation date", "Ripping phase
// information" (drive, engine, read offset and where it came from, overread,
// jitter correction, verify reads), "CD metadata" (release, CDDB,
// MusicBrainz and AccurateRip ids, catalog number, the pregap before track 1,
// the front cover and where it came from, or why there is none),
// "TOC" (every audio track), "Tracks" (each finished track: file name below
// the output folder, pre-gap length when known, ISRC, peak level,
// pre-emphasis and whether the file was de-emphasised, speed, test and copy
// CRC, both AccurateRip results, ReplayGain track gain and peak, status)
// and "Conclusive status report" (AccurateRip summary, the ReplayGain album
// gain, peak and the tracks it was measured over, health, whether the rip
// was canceled), then a blank line and "SHA-256 hash: " with the SHA-256 of
// everything before that line, in uppercase hex. Free text is double-quoted
// with YAML escapes, so no title can break the shape. UTF-8.
std::string RipLogText(const RipLogInput& input);

}  // namespace tesslow
