#include "accuracy/offset_search.h"

#include "app/cd_audio.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace tesslow {

namespace {

constexpr std::int32_t kFrame450Sector = 450;
constexpr std::int32_t kNarrowSectors = 2;
constexpr std::int32_t kWideSectors = kLargestReadOffset / static_cast<std::int32_t>(kSectorFrames);
constexpr int kEnoughAgreeing = 3;

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
    OffsetSearchResult result;
    for (const std::int32_t reach : {kNarrowSectors, kWideSectors}) {
        std::map<std::int32_t, std::pair<int, int>> votes;  // offset: tracks, lowest confidence
        int compared = 0;
        auto agreed = [&] {
            int best = 0;
            for (const auto& [offset, vote] : votes) best = std::max(best, vote.first);
            return best;
        };
        for (const OffsetSearchTrack& track : tracks) {
            if (agreed() >= kEnoughAgreeing || std::chrono::steady_clock::now() >= deadline) break;
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
            const auto matches = Matches(words, reach, targets);
            const bool one = !matches.empty() && std::all_of(matches.begin(), matches.end(), [&](const auto& m) {
                return m.first == matches.front().first;
            });
            if (!one) continue;
            auto& vote = votes[matches.front().first];
            int confidence = 0;
            for (const auto& m : matches) confidence = std::max(confidence, m.second);
            vote.second = vote.first == 0 ? confidence : std::min(vote.second, confidence);
            ++vote.first;
        }
        result.comparedTracks = std::max(result.comparedTracks, compared);
        const int best = agreed();
        if (best >= 2) {
            std::vector<std::int32_t> leaders;
            for (const auto& [offset, vote] : votes)
                if (vote.first == best) leaders.push_back(offset);
            if (leaders.size() == 1) {
                result.offset = leaders.front();
                result.agreeingTracks = best;
                result.confidence = votes[leaders.front()].second;
            }
            return result;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    return result;
}

}  // namespace tesslow
