#pragma once

#include "app/disc_record.h"

#include <functional>
#include <string>
#include <vector>

namespace tesslow {

class ScsiCommand;

// The disc's catalog number (MCN, 13 digits) and each audio track's ISRC (12
// letters and digits), empty where the disc has none.
struct DiscCodes {
    std::string catalog;
    std::vector<std::string> isrcs;  // per audio track of the record
};

// Asks the drive with READ SUB-CHANNEL, once for the catalog number and once
// per track. An answer without its valid bit, with characters an MCN or ISRC
// cannot hold, or of zeros only (what discs without them say) is none; a
// failed command is none too. Some drives take seconds per question, so this
// is called off the interactive path, and stops asking (the rest none) once
// `canceled` answers true.
DiscCodes ReadDiscCodes(ScsiCommand& drive, const DiscRecord& disc, const std::function<bool()>& canceled = {});

}  // namespace tesslow
