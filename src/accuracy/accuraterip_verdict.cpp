#include "accuracy/accuraterip_verdict.h"

#include <algorithm>
#include <cstdio>

namespace tesslow {

namespace {

std::string Hex(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

}  // namespace

TrackAccuracy JudgeTrack(const std::vector<DbarResponse>& responses, std::size_t entry, std::uint32_t v1,
                         std::uint32_t v2)
{
    TrackAccuracy verdict;
    bool present = false;
    for (const DbarResponse& response : responses) {
        if (entry >= response.tracks.size()) continue;
        const DbarResponse::Track& track = response.tracks[entry];
        if (track.confidence == 0) continue;
        present = true;
        const int version = track.crc == v2 ? 2 : track.crc == v1 ? 1 : 0;
        if (verdict.version == 0 && track.confidence > verdict.maxConfidence) verdict.remoteCrc = track.crc;
        verdict.maxConfidence = std::max<int>(verdict.maxConfidence, track.confidence);
        if (version != 0 && track.confidence > verdict.confidence) {
            verdict.confidence = track.confidence;
            verdict.version = version;
            verdict.remoteCrc = track.crc;
        }
    }
    verdict.result = verdict.version != 0 ? TrackAccuracy::Result::Accurate
                     : present             ? TrackAccuracy::Result::NotAccurate
                                           : TrackAccuracy::Result::NotPresent;
    return verdict;
}

std::string VerdictText(const TrackAccuracy& verdict, std::uint32_t v1, std::uint32_t v2, std::size_t responses)
{
    switch (verdict.result) {
    case TrackAccuracy::Result::Accurate:
        return "accurately ripped (confidence " + std::to_string(verdict.confidence) + ", AccurateRip v" +
               std::to_string(verdict.version) + ")";
    case TrackAccuracy::Result::NotAccurate:
        return "not accurate (v1 " + Hex(v1) + ", v2 " + Hex(v2) + "; " + std::to_string(responses) +
               (responses == 1 ? " response" : " responses") + ", max confidence " +
               std::to_string(verdict.maxConfidence) + ")";
    case TrackAccuracy::Result::NotPresent:
        break;
    }
    return "not present in the database";
}

std::string SummaryText(const std::vector<TrackAccuracy>& verdicts)
{
    const auto count = [&](TrackAccuracy::Result result) {
        return std::count_if(verdicts.begin(), verdicts.end(), [&](const TrackAccuracy& v) { return v.result == result; });
    };
    const auto accurate = count(TrackAccuracy::Result::Accurate);
    const auto total = static_cast<std::ptrdiff_t>(verdicts.size());
    const std::string tracks = std::to_string(total) + (total == 1 ? " track" : " tracks");
    if (total > 0 && accurate == total) {
        int lowest = verdicts.front().confidence;
        for (const TrackAccuracy& v : verdicts) lowest = std::min(lowest, v.confidence);
        return std::string("AccurateRip: ") + (total == 1 ? "the track" : "all " + tracks) + " accurately ripped (confidence " +
               std::to_string(lowest) + ")";
    }
    if (accurate > 0) return "AccurateRip: " + std::to_string(accurate) + " of " + tracks + " accurately ripped";
    if (count(TrackAccuracy::Result::NotPresent) == total) return "AccurateRip: none of the tracks is in the database";
    return "AccurateRip: no track matches; this pressing may not be in the database";
}

bool NotAccurateIsAnError(const std::vector<TrackAccuracy>& verdicts, const TrackAccuracy& track, bool requireAccurate)
{
    if (track.result == TrackAccuracy::Result::Accurate) return false;
    if (requireAccurate) return true;
    return track.result == TrackAccuracy::Result::NotAccurate &&
           std::any_of(verdicts.begin(), verdicts.end(),
                       [](const TrackAccuracy& v) { return v.result == TrackAccuracy::Result::Accurate; });
}

}  // namespace tesslow
