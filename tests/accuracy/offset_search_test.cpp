#include "accuracy/offset_search.h"

#include "app/cd_audio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tesslow {
namespace {

constexpr std::int32_t kTrackSectors = 500;

// A disc of four 500-sector tracks of noise, a drive that delivers it
// `driveOffset` samples late, and the database's frame-450 sums of each track.
struct Disc {
    explicit Disc(std::int32_t driveOffset) : offset(driveOffset)
    {
        std::mt19937 random(7);
        samples.resize(std::size_t(4 * kTrackSectors) * kSectorFrames);
        for (std::uint32_t& sample : samples) sample = random();
        for (int t = 0; t < 4; ++t) tracks.push_back({t * kTrackSectors, kTrackSectors, std::size_t(t)});
    }

    // The track's frame-450 sum as the database has it, when its audio starts
    // `shift` samples later than on this disc.
    std::uint32_t Frame450(int track, std::int32_t shift = 0) const
    {
        std::uint32_t sum = 0;
        const std::size_t first = std::size_t(track * kTrackSectors + 450) * kSectorFrames + shift;
        for (std::uint32_t j = 0; j < kSectorFrames; ++j) sum += samples[first + j] * (j + 1);
        return sum;
    }
    std::vector<DbarResponse> Database(int confidence = 3) const
    {
        DbarResponse response;
        for (int t = 0; t < 4; ++t)
            response.tracks.push_back({static_cast<std::uint8_t>(confidence), 0, Frame450(t)});
        return {response};
    }

    // READ CD of `count` sectors from `lba`: the disc's samples from
    // lba x 588 - offset, silence outside it.
    bool Read(std::int32_t lba, std::int32_t count, std::uint8_t* out)
    {
        ++reads;
        auto* words = reinterpret_cast<std::uint32_t*>(out);
        for (std::int64_t k = 0; k < std::int64_t(count) * kSectorFrames; ++k) {
            const std::int64_t at = std::int64_t(lba) * kSectorFrames - offset + k;
            words[k] = at >= 0 && at < std::int64_t(samples.size()) ? samples[std::size_t(at)] : 0;
        }
        return true;
    }

    OffsetSearchResult Search(const std::vector<DbarResponse>& responses,
                              std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max())
    {
        return FindReadOffset(responses, tracks, 4 * kTrackSectors,
                              [this](std::int32_t lba, std::int32_t count, std::uint8_t* out) { return Read(lba, count, out); },
                              deadline);
    }

    std::int32_t offset;
    std::vector<std::uint32_t> samples;
    std::vector<OffsetSearchTrack> tracks;
    int reads = 0;
};

TEST(OffsetSearch, FindsAnyOffsetWithinTenSectorsOnceThreeTracksAgree)
{
    for (const std::int32_t offset : {0, 6, -1, 667, -1164, 1176, 1177, 1776, -3000, 5880, -5880}) {
        SCOPED_TRACE(offset);
        Disc disc(offset);
        const OffsetSearchResult found = disc.Search(disc.Database());
        ASSERT_TRUE(found.offset);
        EXPECT_EQ(*found.offset, offset);
        EXPECT_EQ(found.agreeingTracks, 3);
        EXPECT_EQ(found.confidence, 3);
        // Three tracks read, twice when the first look (two sectors either way) was too narrow.
        EXPECT_EQ(disc.reads, std::abs(offset) <= 1176 ? 3 : 4 + 3);
    }
}

TEST(OffsetSearch, TakesAnOffsetOnlyWhenTwoTracksAgreeAndNoOtherHasAsMany)
{
    Disc disc(102);
    const std::vector<DbarResponse> database = disc.Database();
    auto with = [&](const std::function<void(std::vector<DbarResponse>&)>& change) {
        std::vector<DbarResponse> changed = database;
        change(changed);
        return changed;
    };
    const struct {
        const char* name;
        std::vector<DbarResponse> responses;
        std::optional<std::int32_t> offset;
        int agreeing, compared;
    } cases[] = {
        {"tracks 3 and 4 unusable: two agree", with([](auto& r) { r[0].tracks[2].confidence = r[0].tracks[3].confidence = 0; }),
         102, 2, 2},
        {"only one track usable", with([](auto& r) { r[0].tracks[1].confidence = r[0].tracks[2].confidence = r[0].tracks[3].confidence = 0; }),
         std::nullopt, 0, 1},
        {"two and two disagree",
         with([&](auto& r) {
             r[0].tracks[2].frame450 = disc.Frame450(2, 40);
             r[0].tracks[3].frame450 = disc.Frame450(3, 40);
         }),
         std::nullopt, 0, 4},
        {"one of four disagrees", with([&](auto& r) { r[0].tracks[0].frame450 = disc.Frame450(0, 40); }), 102, 3, 4},
        // A pressing whose audio lies 7 samples later matches at offset 95.
        {"a less trusted pressing beside ours", with([&](auto& r) {
             DbarResponse other = r[0];
             for (auto& track : other.tracks) track.confidence = 1;
             for (int t = 0; t < 4; ++t) other.tracks[std::size_t(t)].frame450 = disc.Frame450(t, -7);
             r.insert(r.begin(), other);
         }),
         102, 3, 3},
        {"an equally trusted pressing beside ours", with([&](auto& r) {
             DbarResponse other = r[0];
             for (int t = 0; t < 4; ++t) other.tracks[std::size_t(t)].frame450 = disc.Frame450(t, -7);
             r.push_back(other);
         }),
         std::nullopt, 0, 4},
        {"no response", {}, std::nullopt, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Disc drive(102);
        const OffsetSearchResult found = drive.Search(c.responses);
        EXPECT_EQ(found.offset, c.offset);
        EXPECT_EQ(found.agreeingTracks, c.agreeing);
        EXPECT_EQ(found.comparedTracks, c.compared);
    }
}

TEST(OffsetSearch, SilenceShortTracksFailedReadsAndTheDeadlineGiveNoVote)
{
    // Silence matches at every offset, so its track does not vote.
    Disc silent(300);
    std::fill_n(silent.samples.begin(), std::size_t(3 * kTrackSectors) * kSectorFrames, 0u);
    OffsetSearchResult found = silent.Search(silent.Database());
    EXPECT_FALSE(found.offset);
    EXPECT_EQ(found.comparedTracks, 4);

    // A track of 450 sectors has no sector 450; a read that fails compares nothing.
    Disc shortTracks(300);
    shortTracks.tracks[0].length = shortTracks.tracks[1].length = 450;
    found = shortTracks.Search(shortTracks.Database());
    EXPECT_EQ(found.offset, 300);
    EXPECT_EQ(found.comparedTracks, 2);
    Disc failing(300);
    found = FindReadOffset(failing.Database(), failing.tracks, 4 * kTrackSectors,
                           [](std::int32_t, std::int32_t, std::uint8_t*) { return false; },
                           std::chrono::steady_clock::time_point::max());
    EXPECT_FALSE(found.offset);
    EXPECT_EQ(found.comparedTracks, 0);

    Disc late(300);
    found = late.Search(late.Database(), std::chrono::steady_clock::now());
    EXPECT_FALSE(found.offset);
    EXPECT_EQ(late.reads, 0);
}

}  // namespace
}  // namespace tesslow
