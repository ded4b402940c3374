#include "metadata/disc_id.h"

#include "disc_fixture.h"

#include <discid/discid.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace tesslow {
namespace {

using test::MakeRawToc;
using test::TocTrack;

// Tracks from a list of sector offsets as published (LBA + 150).
std::vector<TocTrack> TracksFromOffsets(const std::vector<int>& offsets)
{
    std::vector<TocTrack> tracks;
    for (std::size_t i = 0; i < offsets.size(); ++i)
        tracks.push_back({static_cast<std::uint8_t>(i + 1), offsets[i] - 150, false});
    return tracks;
}

// libdiscid's answer for a table given directly, as the judge of what the raw
// TOC reading hands it.
std::string LibDiscIdFor(int last, const std::vector<int>& trackOffsets, int leadOut)
{
    std::unique_ptr<DiscId, void (*)(DiscId*)> disc(discid_new(), discid_free);
    std::vector<int> offsets(100, 0);
    offsets[0] = leadOut;
    for (std::size_t i = 0; i < trackOffsets.size(); ++i) offsets[i + 1] = trackOffsets[i];
    EXPECT_TRUE(discid_put(disc.get(), 1, last, offsets.data()));
    return discid_get_id(disc.get());
}

const std::vector<int> kTwentyTwoTracks = {150,    9700,   25887,  39297,  53795,  63735,  77517,  94877,
                                           107270, 123552, 135522, 148422, 161197, 174790, 192022, 205545,
                                           218010, 228700, 239590, 255470, 266932, 288750};

// A published disc without its data track: 15 audio tracks, audio session
// ending at sector 258725.
const std::vector<int> kFifteenTracks = {150,    17510,  33275,  45910,  57805,  78310,  94650, 109580,
                                         132010, 149160, 165115, 177710, 203325, 215555, 235590};

TEST(DiscId, AudioCdGivesThePublishedIdentifier)
{
    const auto toc = MakeRawToc(TracksFromOffsets(kTwentyTwoTracks), 303602 - 150);
    const DiscIdToc input = DiscIdTocFromRawToc(toc);
    EXPECT_EQ(input.firstTrack, 1);
    EXPECT_EQ(input.lastTrack, 22);
    EXPECT_EQ(input.offsets[0], 303602);
    EXPECT_EQ(input.offsets[22], 288750);
    EXPECT_EQ(input.offsets[23], 0);
    EXPECT_EQ(DiscIdFromRawToc(toc), "xUp1F2NkfP8s8jaeFn_Av3jNEI4-");
}

TEST(DiscId, EnhancedCdIsIdentifiedByItsAudioSessionAlone)
{
    // The data track of the second session starts 11400 sectors after the
    // audio session's lead-out; the disc's own lead-out is further on.
    auto tracks = TracksFromOffsets(kFifteenTracks);
    tracks.push_back({16, 258725 + 11400 - 150, true});
    const auto toc = MakeRawToc(tracks, 330000);

    const DiscIdToc input = DiscIdTocFromRawToc(toc);
    EXPECT_EQ(input.lastTrack, 15);
    EXPECT_EQ(input.offsets[0], 258725);
    EXPECT_EQ(input.offsets[16], 0);
    EXPECT_EQ(DiscIdFromRawToc(toc), "TqvKjMu7dMliSfmVEBtrL7sBSno-");
    EXPECT_EQ(DiscIdFromRawToc(toc), LibDiscIdFor(15, kFifteenTracks, 258725));
}

TEST(DiscId, MixedModeDiscKeepsItsLeadingDataTrack)
{
    std::vector<TocTrack> tracks = {{1, 0, true}};
    std::vector<int> offsets = {150};
    for (int n = 2; n <= 9; ++n) {
        tracks.push_back({static_cast<std::uint8_t>(n), 40000 + (n - 2) * 15000, false});
        offsets.push_back(40150 + (n - 2) * 15000);
    }
    const auto toc = MakeRawToc(tracks, 200000);
    EXPECT_EQ(DiscIdTocFromRawToc(toc).lastTrack, 9);
    EXPECT_EQ(DiscIdFromRawToc(toc), LibDiscIdFor(9, offsets, 200150));
}

TEST(DiscId, ADataTrackRightAfterTheAudioInOneSessionCountsLikeAnyTrack)
{
    const std::vector<TocTrack> tracks = {{1, 0, false}, {2, 1170, false}, {3, 2400, true}};
    const auto toc = MakeRawToc(tracks, 3150);
    EXPECT_EQ(DiscIdTocFromRawToc(toc).lastTrack, 3);
    EXPECT_EQ(DiscIdFromRawToc(toc), LibDiscIdFor(3, {150, 1320, 2550}, 3300));
}

TEST(DiscId, ManyTracksAndASingleTrackMatchLibDiscId)
{
    std::vector<int> offsets;
    for (int i = 0; i < 45; ++i) offsets.push_back(150 + i * 6000);
    EXPECT_EQ(DiscIdFromRawToc(MakeRawToc(TracksFromOffsets(offsets), 45 * 6000)),
              LibDiscIdFor(45, offsets, 45 * 6000 + 150));

    const auto one = MakeRawToc({{1, 0, false}}, 183000);
    EXPECT_EQ(DiscIdFromRawToc(one), LibDiscIdFor(1, {150}, 183150));
    // A cut-off descriptor after the lead-out is not read.
    auto trailing = one;
    trailing.insert(trailing.end(), {0, 0x10, 2});
    EXPECT_EQ(DiscIdFromRawToc(trailing), DiscIdFromRawToc(one));
}

TEST(DiscId, UnusableTablesAreInternalError1593)
{
    auto expectRefused = [](const std::vector<std::uint8_t>& toc) {
        try {
            (void)DiscIdFromRawToc(toc);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Internal error #1593.");
        }
    };
    expectRefused({});
    auto noLeadOut = MakeRawToc({{1, 0, false}}, 1000);
    noLeadOut.resize(12);
    expectRefused(noLeadOut);
    expectRefused(MakeRawToc({{0, 0, false}}, 1000));
    expectRefused(MakeRawToc({{1, 0, false}, {100, 500, false}}, 1000));
    // libdiscid's own checks: a track starting after the lead-out.
    expectRefused(MakeRawToc({{1, 0, false}, {2, 5000, false}}, 1000));
}

}  // namespace
}  // namespace tesslow
