#pragma once

#include "app/disc_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

// One ripped audio track of a CUE sheet.
struct CueTrack {
    std::uint32_t trackIndex = 0;              // into the disc record's lists
    std::string file;                          // relative to the sheet's folder
    std::optional<std::int32_t> gapSectors;    // its INDEX 00 part (from the end of the track before), when known
    std::string isrc;                          // when known
    bool preemphasis = false;                  // the Q sub-channel says so (the TOC's bit counts too)
    bool deemphasised = false;                 // the file holds de-emphasised audio: no FLAGS PRE
};

// The CUE sheet of a rip in the layout most rippers write, "gaps appended to
// the previous track": one FILE per track, each track's INDEX 01 at 00:00:00
// of its own file, and a known gap as INDEX 00 inside the file before. Header:
// REM DISCID (the CDDB id), REM COMMENT "Tesslow <version>", CATALOG when
// known, PERFORMER and TITLE when the disc has titles; per track TITLE, PERFORMER, ISRC when known
// and FLAGS PRE for a pre-emphasised track (from the table of contents) whose
// file keeps the disc's audio: a sheet that flagged de-emphasised audio would
// have it de-emphasised twice when burnt and played.
// Audio before track 1 is track 1's INDEX 00 in the hidden track's file when
// that was ripped (trackIndex kHiddenTrackIndex), else a PREGAP. Data tracks
// are left out. Quotes in titles become ', and control characters spaces, so
// no title can break a line. `tracks` are in disc order.
std::string CueSheetText(const DiscRecord& disc, const std::vector<CueTrack>& tracks, const std::string& version,
                         const std::string& catalog = {});

}  // namespace tesslow
