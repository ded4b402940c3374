#pragma once

#include "accuracy/dbar_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

// What the database says of one ripped track.
struct TrackAccuracy {
    enum class Result { Accurate, NotAccurate, NotPresent };
    Result result = Result::NotPresent;
    int confidence = 0;     // accurate: the best matching response's confidence for the track
    int maxConfidence = 0;  // the highest confidence any response gives the track
    int version = 0;        // accurate: 2 when v2 matched, else 1
    std::uint32_t remoteCrc = 0;  // the matching entry's checksum, else the most confident entry's
};

// A track is accurate when its v1 or v2 equals its entry in any response (not
// only the most confident one); it is not present when no response has a
// usable entry (confidence above 0) for it. `entry` is the track's position
// among all of the disc's tracks (AccurateRipEntries).
TrackAccuracy JudgeTrack(const std::vector<DbarResponse>& responses, std::size_t entry, std::uint32_t v1,
                         std::uint32_t v2);

// The words for one track's verdict, after "NN — Title: ":
// "accurately ripped (confidence 12, AccurateRip v2)",
// "not accurate (v1 9a0b1c2d, v2 3e4f5061; 2 responses, max confidence 12)",
// "not present in the database".
std::string VerdictText(const TrackAccuracy& verdict, std::uint32_t v1, std::uint32_t v2, std::size_t responses);

// The disc's line over the verdicts of its ripped tracks:
// "AccurateRip: all 12 tracks accurately ripped (confidence 45)" (the lowest
// of their confidences), "AccurateRip: 11 of 12 tracks accurately ripped",
// "AccurateRip: no track matches; this pressing may not be in the database",
// "AccurateRip: none of the tracks is in the database".
std::string SummaryText(const std::vector<TrackAccuracy>& verdicts);

// Whether a track that is not accurate is an error: always when every track
// must be accurate; otherwise only when another track of the disc matched, so
// that this one is damaged with near certainty (when nothing matches, the
// pressing is most likely not in the database).
bool NotAccurateIsAnError(const std::vector<TrackAccuracy>& verdicts, const TrackAccuracy& track, bool requireAccurate);

}  // namespace tesslow
