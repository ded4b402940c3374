#include "accuracy/offset_search.h"

#include "app/cd_audio.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

namespace tesslow {

namespace {

constexpr std::int32_t kFrame450Sector = 450;
constexpr std::int32_t kNarrowSectors = 2;
constexpr std::int32_t kWideSectors = kLargestReadOffset / static_cast<std::int32_t>(kSectorFrames);
constexpr int kEnoughAgreeing = 3;
// A track matching at more offsets than this holds silence or a repeating
// signal, which tells nothing. Pressings of a disc that differ by a few
// samples make a track match at one offset per pressing.
constexpr std::size_t kMostOffsetsPerTrack = 4;

struct Target {
    std::uint32_t sum;
    int confidence;
};

// Offsets at which the sum over one sector's words matches a target, with the
// matching entry's confidence. `words` holds (2 x reach + 1) sectors: the
// window at offset o starts at word reach x 588 + o.
std::vector<std::pair<std::int32_t, int>> Matches(const std::vector<std::uint32_t>& words, std::int32_t reach,
                                                  const std::vector<Target>& targets)
{
    const std::int32_t span = reach * static_cast<std::int32_t>(kSectorFrames);
    std::uint32_t sum = 0, plain = 0;  // the weighted sum and the plain sum of the window at word 0
    for (std::uint32_t j = 0; j < kSectorFrames; ++j) {
        sum += words[j] * (j + 1);
        plain += words[j];
    }
    std::vector<std::pair<std::int32_t, int>> found;
    for (std::int32_t start = 0;; ++start) {
        for (const Target& target : targets)
            if (sum == target.sum) found.emplace_back(start - span, target.confidence);
        if (start == 2 * span) break;
        // Moving the window one word on: every weight drops by one and the
        // new word comes in with weight 588.
        const std::uint32_t incoming = words[static_cast<std::size_t>(start) + kSectorFrames];
        sum = sum - plain + incoming * kSectorFrames;
        plain = plain - words[static_cast<std::size_t>(start)] + incoming;
    }
    return found;
}

}  // namespace

OffsetSearchResult FindReadOffset(const std::vector<DbarResponse>& responses,
                                  const std::vector<OffsetSearchTrack>& tracks, std::int32_t audioEnd,
                                  const RawSectorRead& read, std::chrono::steady_clock::time_point deadline)
{
    struct Vote {
        int tracks = 0;
        int confidence = 0;        // summed over the tracks
        int lowestConfidence = 0;
    };
    OffsetSearchResult result;
    for (const std::int32_t reach : {kNarrowSectors, kWideSectors}) {
        std::map<std::int32_t, Vote> votes;
        int compared = 0;
        // The offset with the most tracks, then the most confidence; nothing
        // when another is as good.
        auto leader = [&]() -> std::optional<std::pair<std::int32_t, Vote>> {
            std::optional<std::pair<std::int32_t, Vote>> best;
            bool tie = false;
            for (const auto& [offset, vote] : votes) {
                const auto key = std::make_pair(vote.tracks, vote.confidence);
                if (!best || key > std::make_pair(best->second.tracks, best->second.confidence)) {
                    best = {offset, vote};
                    tie = false;
                } else if (key == std::make_pair(best->second.tracks, best->second.confidence)) {
                    tie = true;
                }
            }
            if (tie) return std::nullopt;
            return best;
        };
        for (const OffsetSearchTrack& track : tracks) {
            if (std::chrono::steady_clock::now() >= deadline) break;
            if (const auto best = leader(); best && best->second.tracks >= kEnoughAgreeing) break;
            std::vector<Target> targets;
            for (const DbarResponse& response : responses)
                if (track.entry < response.tracks.size() && response.tracks[track.entry].confidence > 0)
                    targets.push_back({response.tracks[track.entry].frame450, response.tracks[track.entry].confidence});
            const std::int32_t first = track.start + kFrame450Sector - reach;
            const std::int32_t count = 2 * reach + 1;
            if (targets.empty() || track.length <= kFrame450Sector || first < 0 || first + count > audioEnd) continue;

            std::vector<std::uint32_t> words(static_cast<std::size_t>(count) * kSectorFrames);
            if (!read(first, count, reinterpret_cast<std::uint8_t*>(words.data()))) continue;
            ++compared;
            std::map<std::int32_t, int> matched;  // offset: the best confidence matching there
            for (const auto& [offset, confidence] : Matches(words, reach, targets))
                matched[offset] = std::max(matched[offset], confidence);
            if (matched.size() > kMostOffsetsPerTrack) continue;
            for (const auto& [offset, confidence] : matched) {
                Vote& vote = votes[offset];
                vote.lowestConfidence = vote.tracks == 0 ? confidence : std::min(vote.lowestConfidence, confidence);
                vote.confidence += confidence;
                ++vote.tracks;
            }
        }
        result.comparedTracks = std::max(result.comparedTracks, compared);
        const auto best = leader();
        if (best && best->second.tracks >= 2) {
            result.offset = best->first;
            result.agreeingTracks = best->second.tracks;
            result.confidence = best->second.lowestConfidence;
            return result;
        }
        // Two offsets as good as each other: a wider look cannot settle it.
        if (!votes.empty() && !best) return result;
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    return result;
}

}  // namespace tesslow
