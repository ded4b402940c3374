#include "app/disc_record.h"
#include "app/drive_profile.h"
#include "drive/disc_probe.h"
#include "drive/emulated_drive.h"
#include "drive/mmc.h"
#include "drive/preview_extraction.h"
#include "drive/scsi_command.h"
#include "drive/toc_reader.h"
#include "platform/fd_io.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tesslow {
namespace {

using test::TempDir;

class PreviewExtraction : public ::testing::Test {
protected:
    // Ten short tracks, found by the disc search as the insert-disc page would.
    void Insert(std::vector<std::string> conditions = {})
    {
        test::TestDisc disc{.conditions = std::move(conditions)};
        for (int t = 0; t < 10; ++t) disc.tracks.push_back({20 + t});
        written = test::WriteTestDisc(dir.Path(), disc);
        key = written.cue.string();
        ASSERT_TRUE(ProbeDisc(records, key));
    }

    // Reads the preview pipe until `limit` bytes or its end.
    static std::string Consume(PreviewStream& stream, std::size_t limit = SIZE_MAX)
    {
        std::string bytes;
        std::string chunk(kPreviewChunkBytes, '\0');
        while (bytes.size() < limit) {
            const ssize_t n = ReadSome(stream.readEnd.Get(), chunk.data(), std::min(chunk.size(), limit - bytes.size()));
            if (n <= 0) break;
            bytes.append(chunk.data(), static_cast<std::size_t>(n));
        }
        return bytes;
    }

    TempDir dir;
    DiscRecords records;
    test::WrittenDisc written;
    std::string key;
};

TEST_F(PreviewExtraction, APreviewOfTheFirstTrackPlaysOnIntoTheSecond)
{
    Insert();
    PreviewStream stream = StartPreviewExtraction(records, key, 0);
    const std::size_t wanted = (20 + 15) * kSectorBytes;
    EXPECT_EQ(Consume(stream, wanted), test::DiscBytes(written, 0, 35));
    stream.readEnd.Reset();  // the consumer stops early
    stream.thread.Join();
}

TEST_F(PreviewExtraction, APreviewPlaysTheDiscsAudioWhereTheOffsetRememberedForTheDriveModelPutsIt)
{
    test::UserSandbox sandbox;
    Insert({"OFFSET -472"});
    ASSERT_TRUE(RememberReadOffset({"TESSLOW", "EMULATED CD-ROM"}, -472));
    PreviewStream stream = StartPreviewExtraction(records, key, 3);
    const std::size_t wanted = 40 * kSectorBytes;
    EXPECT_TRUE(Consume(stream, wanted) == test::DiscBytes(written, written.starts[3], 40));
    stream.readEnd.Reset();
    stream.thread.Join();
}

TEST_F(PreviewExtraction, APreviewOfTheLastTrackEndsAtTheLeadOutWithOneSectorReads)
{
    Insert();
    ReadToc(records, key);
    auto emulated = std::dynamic_pointer_cast<EmulatedDrive>(records[key].drive->Transport());
    const auto before = emulated->Statistics();

    PreviewStream stream = StartPreviewExtraction(records, key, 9);
    const std::string bytes = Consume(stream);
    stream.thread.Join();
    EXPECT_EQ(bytes, test::DiscBytes(written, written.starts[9], 29));

    const auto after = emulated->Statistics();
    EXPECT_EQ(after.readCdCommands - before.readCdCommands, 29u);  // no read past the lead-out
    EXPECT_EQ(after.sectorsRead - before.sectorsRead, 29u);
}

TEST_F(PreviewExtraction, APreviewBorrowsTheRecordsOpenDriveReadsAtSingleSpeedAndLeavesItOpenAtFullSpeed)
{
    Insert({"SPEED 600"});
    ReadToc(records, key);
    const auto drive = records[key].drive;
    auto emulated = std::dynamic_pointer_cast<EmulatedDrive>(drive->Transport());
    std::uint8_t sector[kSectorBytes];
    ASSERT_EQ(drive->ReadCd(0, 1, sector), 0);
    EXPECT_EQ(emulated->ReadSpeed(), 600u);

    {
        PreviewStream stream = StartPreviewExtraction(records, key, 8);
        EXPECT_EQ(emulated->ReadSpeed(), 75u);  // single speed on the shared drive
        EXPECT_EQ(Consume(stream).size(), (28u + 29u) * kSectorBytes);
        stream.thread.Join();
    }
    EXPECT_EQ(emulated->ReadSpeed(), 600u);  // a rip afterwards is not held to single speed
    EXPECT_TRUE(drive->IsOpen());
    EXPECT_EQ(drive->Ownership(), 1);
    EXPECT_EQ(drive->ReadCd(0, 1, sector), 0);
    EXPECT_NO_THROW(ReadToc(records, key));
}

TEST_F(PreviewExtraction, AReadErrorEndsTheStreamQuietly)
{
    Insert({"UNREADABLE 25"});
    PreviewStream stream = StartPreviewExtraction(records, key, 0);
    EXPECT_EQ(Consume(stream), test::DiscBytes(written, 0, 25));
    stream.thread.Join();
}

TEST_F(PreviewExtraction, FailuresToStartCarryTheirMessages)
{
    Insert();
    test::WriteFile(dir / "not-a-drive", "x");
    try {
        StartPreviewExtraction(records, (dir / "not-a-drive").string(), 0);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot access CD drive: No such device.");
    }
    const auto other = test::WriteTestDisc(dir.Path(), {.tracks = {{100}}, .sparse = true}, "unread");
    try {
        StartPreviewExtraction(records, other.cue.string(), 0);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Internal error #141.");
    }
}

TEST_F(PreviewExtraction, TheSharedStateOutlivesAnAbandonedThread)
{
    Insert({"DELAY 20"});
    std::weak_ptr<extract_for_playback_data_t> watch;
    {
        auto data = PrepareForPlayback(records, key, 0);
        watch = data;
        UniqueFd readEnd = std::move(data->pipeReadEnd);
        WorkerThread thread([data] { RunPreviewExtraction(data); });
        data.reset();
        std::string chunk(kSectorBytes, '\0');
        ASSERT_EQ(ReadFull(readEnd.Get(), chunk.data(), chunk.size()), ssize_t(kSectorBytes));
        readEnd.Reset();
        (void)thread.WaitFor(std::chrono::milliseconds(0));  // abandoned at once, or already done
    }
    // The thread ends by itself at its next pipe write and releases the state.
    for (int i = 0; i < 500 && !watch.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace tesslow
