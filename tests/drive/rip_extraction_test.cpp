#include "app/disc_record.h"
#include "drive/disc_probe.h"
#include "drive/emulated_drive.h"
#include "drive/extraction_request.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "platform/fd_io.h"
#include "platform/pipe.h"
#include "platform/worker_thread.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace tesslow {
namespace {

using test::TempDir;

// The rip worker's side of one track: pipe, request, thread, reading to the
// end of the pipe in 26-sector chunks. `afterChunk` may cancel or stop
// reading; it answers false to stop reading.
struct Rip {
    std::shared_ptr<ScsiCommand> drive;
    std::int32_t start = 0;
    std::int32_t count = 0;
    std::int32_t readableEnd = 0;
    bool correction = true;

    std::string bytes{};
    bool readError = false;

    void Run(const std::function<bool(const std::shared_ptr<ExtractionRequest>&, Pipe&)>& afterChunk = {})
    {
        Pipe pipe(static_cast<std::size_t>(count) * kSectorBytes);
        auto request = std::make_shared<ExtractionRequest>();
        request->drive = drive;
        request->startSector = start;
        request->sectorCount = count;
        request->readableEnd = readableEnd;
        request->jitterCorrection = correction;
        request->pipeWriteEnd = std::move(pipe.writeEnd);
        WorkerThread thread([request] { RunRipExtraction(request); });
        std::string chunk(kRipChunkBytes, '\0');
        while (pipe.readEnd.Valid()) {
            const ssize_t n = ReadSome(pipe.readEnd.Get(), chunk.data(), chunk.size());
            if (n <= 0) break;
            bytes.append(chunk.data(), static_cast<std::size_t>(n));
            if (afterChunk && !afterChunk(request, pipe)) break;
        }
        thread.Join();
        readError = request->readError;
    }
};

class RipExtraction : public ::testing::Test {
protected:
    // A disc of tracks, opened as a DiscRecord's drive would be.
    void Insert(const test::TestDisc& disc)
    {
        written = test::WriteTestDisc(dir.Path(), disc);
        drive = std::make_shared<ScsiCommand>();
        ASSERT_TRUE(drive->Open(written.cue.string()));
        emulated = std::dynamic_pointer_cast<EmulatedDrive>(drive->Transport());
    }
    Rip Track(std::size_t index, bool correction)
    {
        const std::int32_t start = written.starts[index];
        const std::int32_t end = index + 1 < written.starts.size() ? written.starts[index + 1] : written.leadOut;
        return Rip{drive, start, end - start, written.leadOut, correction};
    }
    std::string Image(std::size_t index)
    {
        const Rip rip = Track(index, true);
        return test::DiscBytes(written, rip.start, rip.count);
    }

    TempDir dir;
    test::WrittenDisc written;
    std::shared_ptr<ScsiCommand> drive;
    std::shared_ptr<EmulatedDrive> emulated;
};

TEST_F(RipExtraction, ACleanTrackGivesExactlyItsSectorsWithCorrectionOnAndOff)
{
    Insert({.tracks = {{1000}, {1337}, {750}}});
    for (bool correction : {true, false}) {
        for (std::size_t t : {0u, 1u, 2u}) {
            SCOPED_TRACE(testing::Message() << "track " << t << " correction " << correction);
            Rip rip = Track(t, correction);
            rip.Run();
            EXPECT_FALSE(rip.readError);
            EXPECT_EQ(rip.bytes.size(), std::size_t(rip.count) * kSectorBytes);
            EXPECT_TRUE(rip.bytes == Image(t));
        }
    }
    // The library never read before a track's start nor past the lead-out:
    // any such read would have failed the rip.
    Rip nothing{drive, 1000, 0, written.leadOut, true};
    nothing.Run();
    EXPECT_EQ(nothing.bytes, "");
    EXPECT_FALSE(nothing.readError);
}

TEST_F(RipExtraction, OnAJitteryDriveOnlyCorrectionGivesTheTrueAudio)
{
    Insert({.tracks = {{1500}, {1500}, {450}}, .conditions = {"JITTER 30", "SEED 3"}});
    for (std::size_t t : {0u, 1u}) {
        SCOPED_TRACE(t);
        Rip corrected = Track(t, true);
        corrected.Run();
        EXPECT_FALSE(corrected.readError);
        EXPECT_EQ(corrected.bytes.size(), Image(t).size());
        EXPECT_TRUE(corrected.bytes == Image(t));

        Rip plain = Track(t, false);
        plain.Run();
        EXPECT_FALSE(plain.readError);
        EXPECT_EQ(plain.bytes.size(), Image(t).size());
        EXPECT_FALSE(plain.bytes == Image(t));
    }
    EXPECT_GT(emulated->Statistics().jitteredReads, 0u);
}

TEST_F(RipExtraction, TheLastTrackOfAJitteryDiscMayEndShortByTheJitter)
{
    // A known limit of the correction: nothing can be read past the lead-out
    // to check the last samples against, and a read ending there came back
    // early. They are delivered as silence.
    Insert({.tracks = {{1500}, {450}}, .conditions = {"JITTER 30", "SEED 1"}});
    Rip last = Track(1, true);
    last.Run();
    const std::string image = Image(1);
    ASSERT_EQ(last.bytes.size(), image.size());
    const std::size_t tail = 30 * 4;
    EXPECT_TRUE(last.bytes.compare(0, image.size() - tail, image, 0, image.size() - tail) == 0);
    EXPECT_EQ(last.bytes.substr(image.size() - tail), std::string(tail, '\0'));
    EXPECT_FALSE(last.readError);
}

TEST_F(RipExtraction, UnreadableSectorsAreRepairedWithCorrectionAndAReadErrorWithout)
{
    Insert({.tracks = {{1500}, {600}}, .conditions = {"UNREADABLE 900 902"}});
    Rip corrected = Track(0, true);
    corrected.Run();
    EXPECT_FALSE(corrected.readError);
    ASSERT_EQ(corrected.bytes.size(), 1500u * kSectorBytes);  // every sector delivered
    const std::string image = Image(0);
    // Everything well away from the damage is the disc's audio.
    const std::size_t before = 850 * kSectorBytes, after = 950 * kSectorBytes;
    EXPECT_TRUE(corrected.bytes.compare(0, before, image, 0, before) == 0);
    EXPECT_TRUE(corrected.bytes.compare(after, std::string::npos, image, after, std::string::npos) == 0);

    Rip plain = Track(0, false);
    plain.Run();
    EXPECT_TRUE(plain.readError);
    EXPECT_LT(plain.bytes.size(), 900u * kSectorBytes);
}

TEST_F(RipExtraction, ALostDiscEndsTheRipWithAReadErrorInsteadOfSilence)
{
    Insert({.tracks = {{3000}}, .sparse = true});
    Rip rip = Track(0, true);
    bool removed = false;
    rip.Run([&](const auto&, Pipe&) {
        if (!removed) std::filesystem::remove(written.cue);  // the disc is gone
        removed = true;
        return true;
    });
    EXPECT_TRUE(rip.readError);
    EXPECT_LT(rip.bytes.size(), 3000u * kSectorBytes);
}

TEST_F(RipExtraction, AConsumerThatGoesAwayWithoutCancellingMakesItAReadError)
{
    Insert({.tracks = {{3000}}, .sparse = true});
    Rip rip = Track(0, true);
    rip.Run([](const auto&, Pipe& pipe) {
        pipe.readEnd.Reset();
        return false;
    });
    EXPECT_TRUE(rip.readError);
}

TEST_F(RipExtraction, CancellingStopsAtTheNextDriveReadAndClosesThePipe)
{
    // A slow, jittery drive with a scratch: the library is busy re-reading
    // when the cancel comes.
    Insert({.tracks = {{4500}}, .conditions = {"JITTER 30", "UNREADABLE 600 601", "DELAY 2"}, .sparse = false});
    for (bool drain : {true, false}) {
        SCOPED_TRACE(drain);
        Rip rip = Track(0, true);
        std::uint64_t commandsAtStop = 0;
        std::size_t bytesAtStop = 0;
        rip.Run([&](const std::shared_ptr<ExtractionRequest>& request, Pipe& pipe) {
            if (request->stop) return true;  // draining what was written before the stop
            if (rip.bytes.size() < 400 * kSectorBytes) return true;
            commandsAtStop = emulated->Statistics().readCdCommands;
            bytesAtStop = rip.bytes.size();
            request->stop = true;
            if (!drain) pipe.readEnd.Reset();  // what the worker does
            return drain;
        });
        // One READ CD may have been under way when the flag was set; none was
        // sent after the library saw it.
        EXPECT_LE(emulated->Statistics().readCdCommands - commandsAtStop, 1u);
        EXPECT_LT(rip.bytes.size(), 4500u * kSectorBytes);
        EXPECT_EQ(rip.bytes.size() % kSectorBytes, 0u);
        if (drain) {
            // Only what was in the pipe at the stop, and at most the sector
            // being written.
            EXPECT_LE(rip.bytes.size() - bytesAtStop, 4500u * kSectorBytes - bytesAtStop);
        }
    }
}

}  // namespace
}  // namespace tesslow
