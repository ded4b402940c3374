#include "app/disc_record.h"
#include "app/rip_job.h"
#include "drive/disc_probe.h"
#include "drive/disc_search.h"
#include "drive/drive_list.h"
#include "drive/scsi_command.h"
#include "drive/toc_reader.h"
#include "platform/messages.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tesslow {
namespace {

using test::TempDir;
using test::TestDisc;
using test::TestTrack;

std::vector<TocEntry> Entries(const DiscRecord& record) { return record.tracks; }

class DiscProbeTest : public ::testing::Test {
protected:
    // Writes the disc, probes it, and answers the probe's verdict.
    bool Probe(const TestDisc& disc, const std::string& name = "disc")
    {
        written = test::WriteTestDisc(dir.Path(), disc, name);
        return ProbeDisc(records, written.cue.string());
    }
    DiscRecord& Record() { return records[written.cue.string()]; }

    TempDir dir;
    DiscRecords records;
    test::WrittenDisc written;
};

TEST_F(DiscProbeTest, APlainAudioCdIsAcceptedWithItsTracksAndLeadOut)
{
    ASSERT_TRUE(Probe({.tracks = {{300}, {.sectors = 450, .indexZero = 150}, {225}}, .sparse = true}));
    EXPECT_TRUE(Record().hasAudio);
    EXPECT_EQ(Record().trackNumbers, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(Entries(Record()), (std::vector<TocEntry>{{0, 450}, {450, 300}, {750, 225}}));
    EXPECT_EQ(Record().leadOut, 975);
    EXPECT_EQ(Record().rawToc.size(), 4u + 4 * 8);
    EXPECT_FALSE(Record().drive);  // the probe used a drive object of its own
}

TEST_F(DiscProbeTest, WithoutGetConfigurationAPressedOrRewritableCdIsStillAccepted)
{
    EXPECT_TRUE(Probe({.tracks = {{300}}, .conditions = {"NO-GET-CONFIGURATION"}, .sparse = true}));
    EXPECT_TRUE(Probe({.tracks = {{300}}, .conditions = {"NO-GET-CONFIGURATION", "ERASABLE"}, .sparse = true}));
    EXPECT_FALSE(Probe({.tracks = {{300}}, .conditions = {"NO-GET-CONFIGURATION", "BLANK"}, .sparse = true}));
}

TEST_F(DiscProbeTest, DvdsBlankDiscsAndEmptyDrivesAreRejected)
{
    EXPECT_FALSE(Probe({.tracks = {{300}}, .conditions = {"PROFILE DVD"}, .sparse = true}));
    EXPECT_FALSE(Record().hasAudio);
    EXPECT_FALSE(Probe({.tracks = {{300}}, .conditions = {"BLANK"}, .sparse = true}));
    EXPECT_FALSE(Probe({.tracks = {{300}}, .conditions = {"NO-DISC"}, .sparse = true}));
    EXPECT_FALSE(Probe({.tracks = {{300}}, .conditions = {"TRAY-OPEN"}, .sparse = true}));
    EXPECT_FALSE(ProbeDisc(records, (dir / "no-image.cue").string()));
    EXPECT_FALSE(ProbeDisc(records, (dir / "disc.bin").string()));  // not a drive at all

    EXPECT_TRUE(Probe({.tracks = {{300}}, .conditions = {"PROFILE CD-R"}, .sparse = true}));
    EXPECT_TRUE(Probe({.tracks = {{300}}, .conditions = {"INCOMPLETE"}, .sparse = true}));
    EXPECT_TRUE(Probe({.tracks = {{300}}, .conditions = {"ERASABLE"}, .sparse = true}));
}

TEST_F(DiscProbeTest, APureDataCdIsRejectedAndAMixedModeCdKeepsOnlyItsAudio)
{
    EXPECT_FALSE(Probe({.tracks = {{300, true}}, .sparse = true}));
    EXPECT_FALSE(Record().hasAudio);
    EXPECT_TRUE(Record().tracks.empty());

    ASSERT_TRUE(Probe({.tracks = {{3000, true}, {.sectors = 450, .indexZero = 150}, {225}}, .sparse = true}));
    EXPECT_EQ(Record().trackNumbers, (std::vector<std::uint8_t>{2, 3}));
    EXPECT_EQ(Entries(Record()), (std::vector<TocEntry>{{3150, 300}, {3450, 225}}));
    EXPECT_EQ(Record().leadOut, 3675);
}

TEST_F(DiscProbeTest, AnEnhancedCdsLastAudioTrackEndsWhereItsSessionEnds)
{
    ASSERT_TRUE(Probe({.tracks = {{300}, {450}, {.sectors = 600, .data = true, .session = 2}}, .sparse = true}));
    EXPECT_EQ(Record().trackNumbers, (std::vector<std::uint8_t>{1, 2}));
    // Not 450 + 11400: the lead-out, lead-in and pregap between the sessions
    // hold no audio.
    EXPECT_EQ(Entries(Record()), (std::vector<TocEntry>{{0, 300}, {300, 450}}));
    EXPECT_EQ(Record().leadOut, 750 + 11400 + 600);

    // A data track inside the same session: the gap before it still counts
    // into the audio track before it.
    ASSERT_TRUE(Probe({.tracks = {{300}, {450}, {.sectors = 600, .data = true, .indexZero = 150}}, .sparse = true}));
    EXPECT_EQ(Entries(Record()), (std::vector<TocEntry>{{0, 300}, {300, 600}}));
}

TEST_F(DiscProbeTest, NinetyNineTracksAreAllParsedWithTheLeadOut)
{
    TestDisc disc{.sparse = true};
    for (int t = 0; t < 99; ++t) disc.tracks.push_back({10 + t});
    ASSERT_TRUE(Probe(disc));
    ASSERT_EQ(Record().tracks.size(), 99u);
    EXPECT_EQ(Record().trackNumbers.back(), 99);
    EXPECT_EQ(Record().tracks[98], (TocEntry{written.starts[98], 108}));
    EXPECT_EQ(Record().leadOut, written.leadOut);
    EXPECT_EQ(Record().rawToc.size(), 4u + 100 * 8);
}

TEST(DiscSearch, TheFirstDriveInListOrderHoldingAnAudioDiscBecomesTheCurrentDrive)
{
    TempDir dir;
    const auto data = test::WriteTestDisc(dir.Path(), {.tracks = {{300, true}}, .sparse = true}, "data");
    const auto first = test::WriteTestDisc(dir.Path(), {.tracks = {{300}}, .sparse = true}, "first");
    const auto second = test::WriteTestDisc(dir.Path(), {.tracks = {{600}}, .sparse = true}, "second");
    DiscRecords records;
    RipJob job;
    test::RecordingSink sink;
    const std::vector<std::string> drives = {(dir / "empty.cue").string(), data.cue.string(), first.cue.string(),
                                             second.cue.string()};

    EXPECT_TRUE(RunDiscSearch(drives, records, job, sink));
    EXPECT_EQ(job.driveKey, first.cue.string());
    EXPECT_EQ(sink.Ids(), (std::vector<std::uint32_t>{UM_DISC_SEARCH_ABORT, UM_DISC_SEARCH_ABORT,
                                                      UM_DISC_SEARCH_ABORT, UM_DISC_SEARCH_DONE}));
    const auto entries = sink.Entries();
    EXPECT_TRUE(entries[0].sent);
    EXPECT_FALSE(entries.back().sent);
    EXPECT_EQ(entries.back().message.wParam, 1u);
    EXPECT_TRUE(records[first.cue.string()].hasAudio);
    EXPECT_TRUE(records[second.cue.string()].tracks.empty());  // never probed
}

TEST(DiscSearch, AStopAnswerOrNoAudioDiscPostsNotFound)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300}}, .sparse = true});
    DiscRecords records;
    RipJob job;
    job.driveKey = "before";

    test::RecordingSink stopped;
    stopped.Answer([](const Message& message) { return message.id == UM_DISC_SEARCH_ABORT ? 1 : 0; });
    EXPECT_FALSE(RunDiscSearch({disc.cue.string()}, records, job, stopped));
    EXPECT_EQ(stopped.Ids(), (std::vector<std::uint32_t>{UM_DISC_SEARCH_ABORT, UM_DISC_SEARCH_DONE}));
    EXPECT_EQ(stopped.Entries().back().message.wParam, 0u);
    EXPECT_EQ(job.driveKey, "before");
    EXPECT_TRUE(records[disc.cue.string()].tracks.empty());

    test::RecordingSink none;
    EXPECT_FALSE(RunDiscSearch({(dir / "missing.cue").string()}, records, job, none));
    EXPECT_EQ(none.Of(UM_DISC_SEARCH_DONE).at(0).message.wParam, 0u);
    test::RecordingSink noDrives;
    EXPECT_FALSE(RunDiscSearch({}, records, job, noDrives));
    EXPECT_EQ(noDrives.Ids(), (std::vector<std::uint32_t>{UM_DISC_SEARCH_DONE}));
}

TEST(ReadToc, TheSameDiscKeepsItsAlbumAndAnotherDiscClearsIt)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300}, {400}}, .sparse = true});
    const std::string key = disc.cue.string();
    DiscRecords records;
    ASSERT_TRUE(ProbeDisc(records, key));
    DiscRecord& record = records[key];
    record.album.artist = "Artist";
    record.album.trackTitles = {"One", "Two"};

    ReadToc(records, key);
    ASSERT_TRUE(record.drive);
    EXPECT_TRUE(record.drive->IsOpen());
    EXPECT_EQ(record.album.artist, "Artist");
    EXPECT_EQ(Entries(record), (std::vector<TocEntry>{{0, 300}, {300, 400}}));
    ReadToc(records, key);
    EXPECT_EQ(record.album.trackTitles.size(), 2u);

    // Another disc in the same drive.
    test::WriteTestDisc(dir.Path(), {.tracks = {{300}, {400}, {500}}, .sparse = true});
    ReadToc(records, key);
    EXPECT_EQ(record.album, AlbumInfo{});
    EXPECT_EQ(Entries(record), (std::vector<TocEntry>{{0, 300}, {300, 400}, {700, 500}}));
    EXPECT_EQ(record.leadOut, 1200);
    EXPECT_TRUE(record.hasAudio);
}

TEST(ReadToc, ADriveThatCannotReadTheTocRaisesTheMessage)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300}}, .conditions = {"NO-DISC"}, .sparse = true});
    DiscRecords records;
    try {
        ReadToc(records, disc.cue.string());
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot read disc's TOC. Is this disc readable?");
    }
    EXPECT_THROW(ReadToc(records, (dir / "disc.bin").string()), std::runtime_error);  // cannot even be opened
    EXPECT_FALSE(records[(dir / "disc.bin").string()].drive->IsOpen());
}

TEST(DriveList, TesslowDrivesReplacesTheHardwareListInItsOrder)
{
    test::ScopedEnv drives("TESSLOW_DRIVES", "/tmp/b.cue::/data/image:/dev/null");
    EXPECT_EQ(ListDrives(), (std::vector<std::string>{"/tmp/b.cue", "/data/image", "/dev/null"}));
    EXPECT_TRUE(IsEmulatedDriveKey("/tmp/b.cue"));
    EXPECT_TRUE(IsEmulatedDriveKey("/data/image"));   // listed, not a device
    EXPECT_FALSE(IsEmulatedDriveKey("/dev/null"));    // a device node is always a device
    EXPECT_TRUE(IsEmulatedDriveKey("/elsewhere/Disc.CUE"));
    EXPECT_FALSE(IsEmulatedDriveKey("/dev/sr0"));

    test::ScopedEnv none("TESSLOW_DRIVES", "");
    EXPECT_TRUE(ListDrives().empty());
}

}  // namespace
}  // namespace tesslow
