#pragma once

#include "app/disc_record.h"

#include <optional>

namespace tesslow {

class ScsiCommand;

// Audio hidden before track 1: when track 1 starts after sector 0, the
// sectors before it are its pregap, and when they are not digital silence
// they hold music that players skip. Reads them (stopping at the first sound)
// and answers their extent, or nothing for a silent pregap, a disc whose first
// audio track is not track 1, or a pregap the drive cannot read. The pregap's
// last sector is not judged: a drive's read offset can bring track 1's first
// samples into it.
std::optional<TocEntry> FindHiddenTrack(ScsiCommand& drive, const DiscRecord& disc);

}  // namespace tesslow
