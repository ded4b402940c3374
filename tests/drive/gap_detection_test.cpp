#include "drive/gap_detection.h"

#include "app/disc_record.h"
#include "drive/disc_codes.h"
#include "drive/q_frame.h"
#include "drive/scsi_command.h"
#include "drive/toc_reader.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <random>

namespace tesslow {
namespace {

using namespace std::chrono_literals;

// Two frames as pressed discs hold them, their CRCs worked out apart from our
// code (CRC-16/XMODEM of bytes 0-9, inverted): track 1 at 00:02:00, and track
// 3's pregap, pre-emphasised, one second before its INDEX 01.
TEST(QFrame, KnownFramesDecodeAndAFlippedBitIsDropped)
{
    const QFrame start = {0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x5A, 0x28};
    EXPECT_EQ(DecodeQPosition(start), (QPosition{0, 1, 1, 0, 0}));
    const QFrame pregap = {0x11, 0x03, 0x00, 0x00, 0x01, 0x30, 0x00, 0x00, 0x04, 0x05, 0xFC, 0x47};
    EXPECT_EQ(DecodeQPosition(pregap), (QPosition{1, 3, 0, 105, 155}));
    EXPECT_EQ(EncodeQPosition({1, 3, 0, 105, 155}), pregap);

    QFrame damaged = pregap;
    damaged[4] ^= 0x02;
    EXPECT_FALSE(DecodeQPosition(damaged));

    // A position in binary, as some drives send it.
    const QFrame binary = EncodeQPosition({1, 12, 1, 4000, 19000}, true);
    EXPECT_FALSE(DecodeQPosition(binary));
    EXPECT_EQ(DecodeQPosition(binary, true), (QPosition{1, 12, 1, 4000, 19000}));

    EXPECT_EQ(DecodeQCatalog(EncodeQCatalog(0, "0724384960650", 50)), "0724384960650");
    EXPECT_EQ(DecodeQIsrc(EncodeQIsrc(0, "GBAYE0601498", 75)), "GBAYE0601498");
    EXPECT_FALSE(DecodeQIsrc(EncodeQCatalog(0, "0724384960650", 50)));
}

// Track 1 after a 12-sector pregap, then gaps of 0, 2, 32 and 150 sectors;
// every boundary on a multiple of 100, away from the sectors where the disc
// has its catalog number and ISRCs in place of a position.
test::TestDisc GappedDisc(std::vector<std::string> conditions)
{
    test::TestDisc disc;
    disc.tracks = {{.sectors = 700, .indexZero = 12, .isrc = "USRC17607839"},
                   {.sectors = 700},
                   {.sectors = 700, .indexZero = 2, .isrc = "gbaye0601498", .preemphasis = true},
                   {.sectors = 700, .indexZero = 32, .preemphasis = true},
                   {.sectors = 900, .indexZero = 150, .isrc = "000000000000"}};
    disc.catalog = "0724384960650";
    disc.conditions = std::move(conditions);
    return disc;
}

class GapDetectionTest : public ::testing::Test {
protected:
    DiscRecord& Insert(const test::TestDisc& disc)
    {
        const test::WrittenDisc written = test::WriteTestDisc(dir.Path(), disc);
        ReadToc(records, written.cue.string());
        return records[written.cue.string()];
    }

    test::TempDir dir;
    DiscRecords records;
};

TEST_F(GapDetectionTest, PregapsAreFoundExactlyHoweverTheDriveDeliversQ)
{
    const std::vector<std::vector<std::string>> drives = {
        {}, {"QCRC 10"}, {"QBINARY"}, {"QSHIFT 2"}, {"QSHIFT -3"}, {"QCRC 10", "QBINARY", "QSHIFT 2", "SEED 7"}};
    for (const auto& conditions : drives) {
        SCOPED_TRACE(conditions.empty() ? "clean" : conditions.front());
        DiscRecord& disc = Insert(GappedDisc(conditions));
        const GapDetection gaps = DetectGaps(*disc.drive, disc);
        ASSERT_TRUE(gaps.detected);
        EXPECT_EQ(gaps.pregaps, (std::vector<std::optional<std::int32_t>>{12, 0, 2, 32, 150}));
        EXPECT_EQ(gaps.preemphasis, (std::vector<bool>{false, false, true, true, false}));
        EXPECT_LE(gaps.reads, 5u * 24);  // a binary search, not a scan
    }
}

// Gaps anywhere, also where the disc's catalog number stands in place of a
// position: each answer is exact or unknown, never a wrong gap.
TEST_F(GapDetectionTest, AnyLayoutGivesTheSheetsGapsOrNone)
{
    std::mt19937 random(5);
    const std::vector<std::string> drives[] = {{}, {"QBINARY", "QSHIFT 3"}, {"QCRC 20", "QSHIFT -1"}};
    int known = 0;
    for (int round = 0; round < 24; ++round) {
        test::TestDisc disc;
        disc.catalog = "0724384960650";
        std::vector<std::int32_t> expected;
        for (int t = 0; t < 4; ++t) {
            const std::int32_t gap = t == 0 ? 0 : std::int32_t(random() % 220);
            disc.tracks.push_back({.sectors = 400 + std::int32_t(random() % 300) + gap, .indexZero = gap});
            expected.push_back(gap);
        }
        disc.conditions = drives[round % 3];
        disc.conditions.push_back("SEED " + std::to_string(round + 1));
        DiscRecord& record = Insert(disc);
        const GapDetection gaps = DetectGaps(*record.drive, record);
        ASSERT_TRUE(gaps.detected) << "round " << round;
        for (std::size_t t = 0; t < expected.size(); ++t) {
            if (!gaps.pregaps[t]) continue;
            ++known;
            EXPECT_EQ(*gaps.pregaps[t], expected[t]) << "round " << round << ", track " << t + 1;
        }
    }
    EXPECT_GE(known, 24 * 4 - 8);
}

TEST_F(GapDetectionTest, ADriveThatCannotTellGivesNoGapsRatherThanWrongOnes)
{
    struct Case {
        const char* condition;
        std::chrono::milliseconds perTrack;
    };
    for (const Case& c : {Case{"NO-SUBCHANNEL", 1000ms}, Case{"QCRC 100", 1000ms}, Case{"DELAY 30", 40ms}}) {
        SCOPED_TRACE(c.condition);
        DiscRecord& disc = Insert(GappedDisc({c.condition}));
        const GapDetection gaps = DetectGaps(*disc.drive, disc, c.perTrack);
        EXPECT_FALSE(gaps.detected);
        EXPECT_TRUE(gaps.pregaps.empty());
    }
    DiscRecord& disc = Insert(GappedDisc({}));
    EXPECT_FALSE(DetectGaps(*disc.drive, disc, 1s, [] { return true; }).detected);
}

TEST_F(GapDetectionTest, CatalogAndIsrcsComeFromReadSubChannelAndZerosAreNone)
{
    DiscRecord& disc = Insert(GappedDisc({}));
    const DiscCodes codes = ReadDiscCodes(*disc.drive, disc);
    EXPECT_EQ(codes.catalog, "0724384960650");
    EXPECT_EQ(codes.isrcs, (std::vector<std::string>{"USRC17607839", "", "GBAYE0601498", "", ""}));

    test::TestDisc plain = GappedDisc({});
    plain.catalog = "0000000000000";
    DiscRecord& bare = Insert(plain);
    EXPECT_EQ(ReadDiscCodes(*bare.drive, bare).catalog, "");
}

}  // namespace
}  // namespace tesslow
