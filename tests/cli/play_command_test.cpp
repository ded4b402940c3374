#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

namespace tesslow {
namespace {

using test::TempDir;

// --play over the emulated drive, heard through SDL's disk audio driver.
class PlayCommand : public ::testing::Test {
protected:
    std::vector<std::string> Env(const std::string& driver = "disk") const
    {
        return {"SDL_AUDIODRIVER=" + driver, "SDL_DISKAUDIOFILE=" + (dir / "heard.raw").string()};
    }
    std::vector<std::string> Args(const std::string& track) const
    {
        return {"--play", track, "--drive", written.cue.string(), "--no-lookup"};
    }

    test::UserSandbox sandbox;
    TempDir dir;
    test::WrittenDisc written;
};

TEST_F(PlayCommand, PlaysToTheEndOfTheDiscNamingTheTrackEachSecond)
{
    written = test::WriteTestDisc(dir.Path(), {.tracks = {{60}, {90}}});
    const auto result = test::RunProgram("tesslow-rip", Args("1"), Env());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // Once a second: a slow start (a sanitizer build) may name track 1 twice.
    EXPECT_EQ(result.out.rfind("Playing Track 01 (0:00)\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\nPlaying Track 02 (0:"), std::string::npos) << result.out;
    const std::string heard = test::ReadFile(dir / "heard.raw");
    EXPECT_GT(std::count_if(heard.begin(), heard.end(), [](char c) { return c != 0; }), 44100);
}

TEST_F(PlayCommand, CtrlCStopsThePlayingPromptly)
{
    written = test::WriteTestDisc(dir.Path(), {.tracks = {{3000}}});
    test::RunningProgram program("tesslow-rip", Args("1"), Env());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    program.Signal(SIGINT);
    const auto result = program.Wait();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("Playing Track 01 (0:00)\n", 0), 0u) << result.out;
    EXPECT_EQ(result.out.find("(0:05)"), std::string::npos) << result.out;
}

TEST_F(PlayCommand, FailuresSayWhy)
{
    written = test::WriteTestDisc(dir.Path(), {.tracks = {{60}, {90}}});
    const auto noSound = test::RunProgram("tesslow-rip", Args("2"), Env("no-such-driver"));
    EXPECT_EQ(noSound.exitCode, 1);
    EXPECT_EQ(noSound.err, "tesslow-rip: no sound output is available.\n");
    const auto noTrack = test::RunProgram("tesslow-rip", Args("3"), Env());
    EXPECT_EQ(noTrack.exitCode, 2);
    EXPECT_EQ(noTrack.err, "tesslow-rip: the disc has no track 3 (it has 2).\n");
}

}  // namespace
}  // namespace tesslow
