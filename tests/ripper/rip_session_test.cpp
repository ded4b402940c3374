#include "ripper/rip_session.h"

#include "drive/emulated_drive.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/toc_reader.h"
#include "encoding/overwrite.h"
#include "platform/desktop_shell.h"
#include "platform/messages.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// What a front end sees of the session.
class RecordingDisplay final : public RipDisplay {
public:
    void OnRipMessage(const Message& message, const RipMonitor&) override { ids.push_back(message.id); }
    void OnRipTick(const RipMonitor&) override
    {
        ++ticks;
        if (onTick) onTick();
    }

    std::vector<std::uint32_t> ids;
    int ticks = 0;
    std::function<void()> onTick;  // what the front end does on its tick
};

// A drive that hangs: after `readsAllowed` commands of one kind (READ CD
// unless told) every further one waits until the test releases the drive, as
// a drive stuck on a scratch can.
class HangingDrive final : public ScsiTransport {
public:
    HangingDrive(std::shared_ptr<ScsiTransport> inner, int readsAllowed, std::uint8_t opcode)
        : inner_(std::move(inner)), left_(readsAllowed), opcode_(opcode)
    {
    }

    bool Send(const CommandBlock& block, std::span<std::uint8_t, kSenseLength> sense) override
    {
        if (block.cdb[0] == opcode_) {
            std::unique_lock lock(mutex_);
            if (left_ > 0) {
                --left_;
            } else {
                hanging_ = true;
                changed_.notify_all();
                changed_.wait(lock, [this] { return released_; });
            }
        }
        return inner_->Send(block, sense);
    }
    void Close() override { inner_->Close(); }
    bool IsOpen() const override { return inner_->IsOpen(); }

    bool Hanging()
    {
        std::lock_guard lock(mutex_);
        return hanging_;
    }
    void Release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::shared_ptr<ScsiTransport> inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int left_;
    std::uint8_t opcode_;
    bool hanging_ = false;
    bool released_ = false;
};

// Rips a disc of the emulated drive into a temporary folder as WAV files named
// by the track number, through a session as a front end runs it.
class RipSessionTest : public ::testing::Test {
protected:
    void Insert(const test::TestDisc& disc, int readsBeforeHanging = -1, std::uint8_t hangingOn = mmc::kReadCd)
    {
        written = test::WriteTestDisc(dir.Path(), disc);
        key = written.cue.string();
        if (readsBeforeHanging >= 0) {
            emulated = std::make_shared<EmulatedDrive>(written.cue);
            hanging = std::make_shared<HangingDrive>(emulated, readsBeforeHanging, hangingOn);
            records[key].drive = std::make_shared<ScsiCommand>();
            records[key].drive->Adopt(hanging, key);
        }
        ReadToc(records, key);
        records[key].album.trackTitles = {"a", "b"};
    }

    RipWorkerSetup Setup(RipSettings settings = {})
    {
        RipWorkerSetup setup;
        setup.job.driveKey = key;
        setup.job.format = FormatCode::Wav;
        setup.job.NameTemplate = "%5";
        setup.job.OutputFolder = (dir / "out").string();
        for (std::uint32_t t = 0; t < records[key].tracks.size(); ++t) setup.job.SelectedTracks.push_back(t);
        setup.disc = records[key];
        setup.settings = settings;
        setup.overwrite = overwrite;
        setup.shell = shell;
        return setup;
    }

    fs::path Output(int number) const { return dir / "out" / ("0" + std::to_string(number) + ".wav"); }

    test::TempDir dir;
    test::WrittenDisc written;
    std::string key;
    DiscRecords records;
    std::shared_ptr<EmulatedDrive> emulated;
    std::shared_ptr<HangingDrive> hanging;
    std::shared_ptr<OverwritePolicy> overwrite = std::make_shared<OverwritePolicy>();
    std::shared_ptr<test::RecordingShell> shell = std::make_shared<test::RecordingShell>();
};

TEST_F(RipSessionTest, AFrontEndWokenByTheSessionSeesEveryMessageTicksAndTheResult)
{
    // Two seconds of ripping at this speed: the clock ticks meanwhile.
    Insert({.tracks = {{.sectors = 750}, {.sectors = 750}}, .conditions = {"SPEED 750"}});
    RecordingDisplay display;
    std::mutex mutex;
    std::condition_variable woken;
    int wakes = 0;
    RipSession session(Setup({.openFolderWhenDone = true}), display, [&] {
        std::lock_guard lock(mutex);
        ++wakes;
        woken.notify_all();
    });
    session.Start();
    // An event loop of its own: it sleeps until the session wakes it or the
    // next tick is due, and never waits inside the session.
    for (;;) {
        {
            std::unique_lock lock(mutex);
            woken.wait_for(lock, 100ms, [&] { return wakes > 0; });
            wakes = 0;
        }
        if (!session.Pump(0ms)) break;
    }
    EXPECT_EQ(session.Result(), RipResult::Success);
    EXPECT_FALSE(session.Abandoned());
    EXPECT_TRUE(session.ErrorLines().empty());
    ASSERT_FALSE(display.ids.empty());
    EXPECT_EQ(display.ids.front(), UM_RIP_STARTED);
    EXPECT_EQ(display.ids.back(), UM_RIP_FINISHED);
    EXPECT_GE(display.ticks, 2);
    EXPECT_EQ(session.Monitor().JobPosition(), 1500 * 2352);
    EXPECT_EQ(fs::file_size(Output(2)), 46u + 750u * 2352u);
    EXPECT_EQ(shell->Explored().size(), 1u);
}

TEST_F(RipSessionTest, ACancelWhileTheDriveHangsEndsTheJobAtOnceAndLeavesNoFile)
{
    Insert({.tracks = {{.sectors = 3000}, {.sectors = 300}}, .sparse = true}, 20);
    {
        RecordingDisplay display;
        RipSession session(Setup({.openFolderWhenDone = true}), display);
        session.Start();
        while (!hanging->Hanging()) ASSERT_TRUE(session.Pump(10ms));
        // The drive hangs and the pipe runs dry; the worker, waiting on it,
        // still sees the cancel, gives up on the extraction thread and ends.
        session.ConfirmCancel();
        while (session.Pump(50ms)) {
        }
        EXPECT_FALSE(session.Abandoned());
        EXPECT_EQ(session.Result(), RipResult::Canceled);
        EXPECT_EQ(session.ErrorLines(), std::vector<std::string>{"01.wav: Canceled."});
    }
    EXPECT_FALSE(fs::exists(Output(1)));
    EXPECT_TRUE(fs::is_empty(dir / "out")) << "a partial file was left";
    EXPECT_TRUE(shell->Explored().empty());

    // The drive comes back: the abandoned extraction thread ends and lets go
    // of it, and the program goes on with the next job.
    hanging->Release();
    for (int i = 0; i < 1000 && records[key].drive.use_count() > 1; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(records[key].drive.use_count(), 1) << "the extraction thread did not end";
    RecordingDisplay display;
    RipSession next(Setup(), display);
    next.Start();
    while (next.Pump(50ms)) {
    }
    EXPECT_EQ(next.Result(), RipResult::Success);
    EXPECT_EQ(fs::file_size(Output(2)), 46u + 300u * 2352u);
}

TEST_F(RipSessionTest, AnInterruptTheWorkerHearsFirstStillEndsTheJobAsCanceled)
{
    // Ctrl-C comes just after the front end last looked at its flag. The
    // worker, back from the drive, hears it and has nothing more to say than
    // that it has finished: the job is still a canceled one, not a success.
    Insert({.tracks = {{.sectors = 300}, {.sectors = 300}}}, 0, mmc::kReadSubChannel);
    auto interrupted = std::make_shared<std::atomic<bool>>(false);
    RecordingDisplay display;
    display.onTick = [&] {
        if (*interrupted || !hanging->Hanging()) return;
        *interrupted = true;
        hanging->Release();
    };
    RipWorkerSetup setup = Setup();
    setup.cancelRequested = interrupted;
    RipSession session(std::move(setup), display);
    session.Start();
    while (session.Pump(50ms)) {
    }
    EXPECT_EQ(session.Result(), RipResult::Canceled);
    EXPECT_TRUE(session.ErrorLines().empty());
    ASSERT_FALSE(display.ids.empty());
    EXPECT_EQ(display.ids.back(), UM_RIP_FINISHED);
    EXPECT_FALSE(fs::exists(dir / "out"));
}

// An existing-file question nobody answers until the test lets it.
class StuckQuestion final : public OverwriteQuestion {
public:
    Reply Ask(const std::string&) override
    {
        std::unique_lock lock(mutex_);
        asked_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return answered_; });
        return {Answer::Overwrite, false};
    }
    bool Asked()
    {
        std::lock_guard lock(mutex_);
        return asked_;
    }
    void Answer()
    {
        std::lock_guard lock(mutex_);
        answered_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool asked_ = false;
    bool answered_ = false;
};

TEST_F(RipSessionTest, AWorkerThatNeverStopsIsAbandonedAfterTheDeadlineAndTouchesNothingFreed)
{
    Insert({.tracks = {{.sectors = 300}, {.sectors = 300}}}, 1000000);  // a drive that never hangs
    fs::create_directories(dir / "out");
    test::WriteAudioFile(Output(1), 3);  // the user's file, asked about
    const auto before = fs::file_size(Output(1));
    auto question = std::make_shared<StuckQuestion>();
    {
        RecordingDisplay display;
        RipWorkerSetup setup = Setup({.ejectWhenDone = true, .openFolderWhenDone = true});
        setup.question = question;
        RipSession session(std::move(setup), display);
        session.Start();
        while (!question->Asked()) ASSERT_TRUE(session.Pump(10ms));
        // The worker waits on a question that never comes back: it cannot
        // learn of the cancel.
        session.ConfirmCancel();
        while (session.Pump(50ms)) {
        }
        EXPECT_TRUE(session.Abandoned());
        EXPECT_EQ(session.Result(), RipResult::Canceled);
    }  // the session and the front end's display are gone

    // The answer comes: the worker runs on alone, finds the cancel, leaves
    // the user's file as it was and ends without the end actions.
    question->Answer();
    for (int i = 0; i < 1000 && records[key].drive.use_count() > 1; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(records[key].drive.use_count(), 1) << "the abandoned worker did not end";
    EXPECT_EQ(fs::file_size(Output(1)), before);
    EXPECT_FALSE(fs::exists(Output(2)));
    EXPECT_FALSE(emulated->TrayOpen()) << "an abandoned worker ejected the disc";
    EXPECT_TRUE(shell->Explored().empty());

    // The program goes on: the next job, with the same remembered choices.
    RecordingDisplay display;
    RipSession next(Setup(), display);
    next.Start();
    while (next.Pump(50ms)) {
    }
    EXPECT_EQ(next.Result(), RipResult::CompletedWithErrors);  // the old file, not replaced without a question
    EXPECT_EQ(fs::file_size(Output(2)), 46u + 300u * 2352u);
}

}  // namespace
}  // namespace tesslow
