#pragma once

#include "app/disc_record.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tesslow {

// The label of audio track `index` (0-based position in the record's audio
// track list), UTF-8: its title when the record has one (not empty), else "Track %02d" with
// the position + 1 (not the CD track number), so the twelfth audio track
// without a title is "Track 12".
std::string TitleOfAudioTrack(const DiscRecord& record, std::size_t index);

// The playing label for an absolute sector: the title of the first audio track
// whose extent holds the sector, with the offset into the track as
// "%s (%d:%02d)" (minutes, seconds); empty when no audio track holds it.
std::string TitleAtDiscPosition(const DiscRecord& record, std::int32_t sector);

}  // namespace tesslow
