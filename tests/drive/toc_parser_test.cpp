#include "app/disc_record.h"
#include "drive/toc_parser.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct D {
    std::uint8_t control;
    std::uint8_t number;
    std::int32_t start;
};

Bytes Toc(const std::vector<D>& descriptors, int extraLength = 0)
{
    Bytes toc(4, 0);
    for (const D& d : descriptors) {
        const auto s = static_cast<std::uint32_t>(d.start);
        toc.insert(toc.end(), {0, static_cast<std::uint8_t>(0x10 | d.control), d.number, 0, std::uint8_t(s >> 24),
                               std::uint8_t(s >> 16), std::uint8_t(s >> 8), std::uint8_t(s)});
    }
    const std::size_t length = toc.size() - 2 + extraLength;
    toc[0] = std::uint8_t(length >> 8);
    toc[1] = std::uint8_t(length);
    toc[2] = descriptors.empty() ? 0 : descriptors.front().number;
    toc[3] = descriptors.size() > 1 ? descriptors[descriptors.size() - 2].number : 0;
    return toc;
}

TEST(ParseToc, TheSessionGapIsLeftOutOnlyBeforeTheFirstTrackOfALaterSession)
{
    const Bytes toc = Toc({{0, 1, 0}, {0, 2, 20000}, {4, 3, 40000}, {4, 0xAA, 50000}});
    DiscRecord record;
    record.album.artist = "kept";
    ParseToc(toc, SessionInfo{}, record);  // one session: the gap counts into the audio track
    EXPECT_EQ(record.tracks, (std::vector<TocEntry>{{0, 20000}, {20000, 20000}}));
    EXPECT_EQ(record.leadOut, 50000);
    EXPECT_EQ(record.album.artist, "kept");

    ParseToc(toc, SessionInfo{1, 2, 3}, record);
    EXPECT_EQ(record.tracks, (std::vector<TocEntry>{{0, 20000}, {20000, 40000 - 11400 - 20000}}));

    // A later session that starts closer than the gap (a damaged TOC) keeps
    // the plain rule rather than a negative length.
    ParseToc(Toc({{0, 1, 0}, {4, 2, 5000}, {4, 0xAA, 9000}}), SessionInfo{1, 2, 2}, record);
    EXPECT_EQ(record.tracks, (std::vector<TocEntry>{{0, 5000}}));
}

TEST(ParseToc, ALengthFieldBeyondTheBytesAndAMissingLeadOutAreSurvived)
{
    DiscRecord record;
    record.leadOut = 1234;
    ParseToc(Toc({{0, 1, 0}, {0, 2, 300}}, 64), SessionInfo{}, record);
    EXPECT_EQ(record.trackNumbers, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(record.tracks, (std::vector<TocEntry>{{0, 300}, {300, 0}}));
    EXPECT_EQ(record.leadOut, 0);

    ParseToc(Bytes{0, 2}, SessionInfo{}, record);
    EXPECT_TRUE(record.tracks.empty());
    EXPECT_FALSE(HasAudioDescriptor(Bytes{}));
    EXPECT_FALSE(HasAudioDescriptor(Toc({{4, 1, 0}, {4, 0xAA, 300}})));
    EXPECT_TRUE(HasAudioDescriptor(Toc({{4, 1, 0}, {0, 2, 300}, {4, 0xAA, 600}})));
}

}  // namespace
}  // namespace tesslow
