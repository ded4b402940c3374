#pragma once

#include "drive/disc_image.h"

#include <cstdint>
#include <vector>

namespace tesslow {

// The CD-Text packs a disc pressed from the sheet would carry, without the
// READ TOC header: one block (0, English, ISO-8859-1) with the TITLE,
// PERFORMER and SONGWRITER texts of the disc and its tracks, each kind only
// when some line gives it, and the three 8Fh block-size packs. Characters
// outside ISO-8859-1 become '?'; a track's text equal to the previous
// track's is sent as a TAB, as discs do. Empty when the sheet has no text.
// The text stops where a block's 256 sequence numbers run out.
std::vector<std::uint8_t> EmulatedCdTextPacks(const DiscImage& image);

}  // namespace tesslow
