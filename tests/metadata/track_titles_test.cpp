#include "metadata/track_titles.h"

#include "disc_fixture.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

using test::MakeDiscRecord;
using test::TocTrack;

TEST(TrackTitles, ATrackWithoutTitleIsNamedByItsAudioPosition)
{
    // A mixed-mode disc: CD track 1 is data, so audio position 12 is track 13.
    std::vector<TocTrack> tracks = {{1, 0, true}};
    for (int n = 2; n <= 13; ++n) tracks.push_back({static_cast<std::uint8_t>(n), 30000 + (n - 2) * 10000, false});
    DiscRecord record = MakeDiscRecord(tracks, 150000);
    ASSERT_EQ(record.tracks.size(), 12u);
    record.album.trackTitles = {"Först", "Second"};

    EXPECT_EQ(TitleOfAudioTrack(record, 0), "Först");
    EXPECT_EQ(TitleOfAudioTrack(record, 1), "Second");
    EXPECT_EQ(TitleOfAudioTrack(record, 2), "Track 03");
    EXPECT_EQ(TitleOfAudioTrack(record, 11), "Track 12");
    record.album.trackTitles[1] = "";
    EXPECT_EQ(TitleOfAudioTrack(record, 1), "Track 02");  // an empty title names nothing
}

TEST(TrackTitles, ADiscPositionIsNamedWithTheOffsetIntoItsTrack)
{
    // An enhanced CD: two audio tracks, then a data track of a later session.
    DiscRecord record = MakeDiscRecord({{1, 0, false}, {2, 20000, false}, {3, 60000, true}}, 90000);
    record.album.trackTitles = {"One & Only"};

    EXPECT_EQ(TitleAtDiscPosition(record, 0), "One & Only (0:00)");
    EXPECT_EQ(TitleAtDiscPosition(record, 19999), "One & Only (4:26)");
    EXPECT_EQ(TitleAtDiscPosition(record, 20000), "Track 02 (0:00)");
    EXPECT_EQ(TitleAtDiscPosition(record, 20000 + 3 * 4500 + 7 * 75 + 74), "Track 02 (3:07)");
    EXPECT_EQ(TitleAtDiscPosition(record, 59999), "Track 02 (8:53)");
    EXPECT_EQ(TitleAtDiscPosition(record, 60000), "");  // the data track
    EXPECT_EQ(TitleAtDiscPosition(record, -1), "");
    EXPECT_EQ(TitleAtDiscPosition(record, 95000), "");

    // Audio hidden before track 1 is the hidden track.
    DiscRecord hidden = MakeDiscRecord({{1, 1800, false}, {2, 20000, false}}, 40000);
    hidden.hiddenTrack = TocEntry{0, 1800};
    EXPECT_EQ(TitleOfAudioTrack(hidden, kHiddenTrackIndex), "Hidden track");
    EXPECT_EQ(TitleAtDiscPosition(hidden, 1799), "Hidden track (0:23)");
    EXPECT_EQ(TitleAtDiscPosition(hidden, 1800), "Track 01 (0:00)");
}

}  // namespace
}  // namespace tesslow
