#pragma once

#include "drive/disc_image.h"
#include "drive/q_frame.h"

namespace tesslow {

// The Q sub-channel a pressed disc holds at sector `lba`, from its sheet:
// position frames (ADR 1) with the track and index (0 from a track's INDEX
// 00 or PREGAP up to its INDEX 01; the lead-out after the last track), the
// relative and absolute time and the track's control bits; at sectors 50
// modulo 100 the catalog number (ADR 2, when the sheet has CATALOG) and at
// sectors 75 modulo 100 inside a track with an ISRC line its ISRC (ADR 3),
// each in place of a position frame, as pressed discs space them.
QFrame SubchannelQ(const DiscImage& image, std::int32_t lba);

}  // namespace tesslow
