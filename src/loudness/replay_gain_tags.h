#pragma once

#include "loudness/replay_gain.h"

#include <string>
#include <utility>
#include <vector>

namespace tesslow {

// ReplayGain as tags, (name, value) pairs under the upper-case names every
// format uses (an ID3v2 TXXX frame, an APEv2 item, an ASF attribute and a
// Vorbis comment of that name): a gain as "-6.52 dB", a peak as "0.988547".

// REPLAYGAIN_TRACK_GAIN, REPLAYGAIN_TRACK_PEAK and
// REPLAYGAIN_REFERENCE_LOUDNESS ("-18.00 LUFS").
std::vector<std::pair<std::string, std::string>> TrackGainTags(const ReplayGain& track);

// REPLAYGAIN_ALBUM_GAIN and REPLAYGAIN_ALBUM_PEAK.
std::vector<std::pair<std::string, std::string>> AlbumGainTags(const ReplayGain& album);

// "-6.52 dB" (two decimals, never "-0.00") and "0.988547" (six decimals).
std::string GainText(double gain);
std::string PeakText(double peak);

}  // namespace tesslow
