#include "support/command.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunProgram;
using test::TempDir;

// tesslow-rip ripping a disc in the emulated drive, as a user runs it (no
// terminal: plain lines, existing files skipped).
class RipCommand : public ::testing::Test {
protected:
    void Insert(test::TestDisc disc) { written = test::WriteTestDisc(dir.Path(), disc); }

    std::vector<std::string> Args(std::vector<std::string> extra) const
    {
        std::vector<std::string> args = {"--drive", written.cue.string(), "--output", (dir / "out").string(),
                                          "--no-lookup"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    // A disc without titles names every file "Track NN", whatever the template.
    fs::path Output(const std::string& name) const { return dir / "out" / ("Track " + name); }

    // The names in the output folder, hidden ones included.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        if (fs::exists(dir / "out"))
            for (const auto& entry : fs::directory_iterator(dir / "out")) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::UserSandbox sandbox;
    TempDir dir;
    test::WrittenDisc written;
};

TEST_F(RipCommand, RipsTheChosenTracksExactlyAndExitsWithZero)
{
    Insert({.tracks = {{.sectors = 300}, {.sectors = 200}, {.sectors = 100}}});
    const auto result = RunProgram("tesslow-rip", Args({"--format", "wav", "--tracks", "1,3"}));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFile(Output("01.wav")).substr(46), test::DiscBytes(written, written.starts[0], 300));
    EXPECT_EQ(ReadFile(Output("03.wav")).substr(46), test::DiscBytes(written, written.starts[2], 100));
    EXPECT_FALSE(fs::exists(Output("02.wav")));
    // The settings were read, never written.
    EXPECT_EQ(ReadFile(sandbox.UserStore()).find("LastFormat"), std::string::npos);
}

TEST_F(RipCommand, RipsToMonkeysAudioThatFfmpegDecodesExactly)
{
    Insert({.tracks = {{.sectors = 400}, {.sectors = 150}}});
    const auto result = RunProgram("tesslow-rip", Args({"--format", "ape"}));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    for (int track = 0; track < 2; ++track) {
        const fs::path file = Output("0" + std::to_string(track + 1) + ".ape");
        const auto decoded = test::RunCommand({"ffmpeg", "-v", "error", "-xerror", "-err_detect", "crccheck+explode",
                                               "-i", file.string(), "-f", "s16le", "-"});
        EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
        EXPECT_TRUE(decoded.out == test::DiscBytes(written, written.starts[static_cast<std::size_t>(track)],
                                                   track == 0 ? 400 : 150));
    }
}

TEST_F(RipCommand, RipsToWmaThroughTheRuntimeModuleOfTheApplicationFolder)
{
    Insert({.tracks = {{.sectors = 300}}});
    const auto result = RunProgram("tesslow-rip", Args({"--format", "wma", "--quality", "low"}));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const auto probe = test::RunCommand({"ffprobe", "-v", "error", "-show_entries", "stream=codec_name,bit_rate", "-of",
                                         "compact", Output("01.wma").string()});
    EXPECT_EQ(probe.out, "stream|codec_name=wmav2|bit_rate=64000\n") << probe.err;
}

TEST_F(RipCommand, AnExistingFileIsSkippedWithoutATerminalAndTheJobEndsWithErrors)
{
    Insert({.tracks = {{.sectors = 100}, {.sectors = 100}}});
    test::WriteFile(Output("01.flac"), "keep");
    const auto result = RunProgram("tesslow-rip", Args({"--format", "flac"}));
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.out.find("Track 01.flac: file skipped"), std::string::npos);
    EXPECT_EQ(ReadFile(Output("01.flac")), "keep");
    EXPECT_TRUE(fs::exists(Output("02.flac")));

    const auto overwritten = RunProgram("tesslow-rip", Args({"--format", "flac", "--overwrite"}));
    EXPECT_EQ(overwritten.exitCode, 0) << overwritten.out;
    EXPECT_NE(ReadFile(Output("01.flac")), "keep");
}

TEST_F(RipCommand, InterruptingCancelsLikeTheWizardsCancel)
{
    // One second per track at this speed.
    Insert({.tracks = {{.sectors = 750}, {.sectors = 750}, {.sectors = 750}}, .conditions = {"SPEED 750"}});
    test::RunningProgram rip("tesslow-rip", Args({"--format", "wav"}));
    // The first track's file is being written, under its temporary name.
    for (int i = 0; i < 1000 && Entries().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    rip.Signal(SIGINT);
    const auto result = rip.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("Canceled."), std::string::npos);
    EXPECT_EQ(Entries(), std::vector<std::string>{}) << "no file, partial or whole, is left";
}

// Every file and folder below `root`, relative, folders with a trailing slash.
std::vector<std::string> Tree(const fs::path& root)
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        entries.push_back(fs::relative(entry.path(), root).string() + (entry.is_directory() ? "/" : ""));
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST_F(RipCommand, OnAFreshHomeOnlyTheSettingsFileTheMusicFolderAndTheTracksAppear)
{
    Insert({.tracks = {{.sectors = 100}}});
    const std::vector<std::string> offline = {"TESSLOW_MUSICBRAINZ_URL=http://127.0.0.1:9"};
    const auto info = RunProgram("tesslow-rip", {"--info", "--drive", written.cue.string()}, offline);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    std::vector<std::string> expected = {"home/",
                                         "home/.config/",
                                         "home/.config/Corvalen/",
                                         "home/.config/Corvalen/tesslow/",
                                         "home/.config/Corvalen/tesslow/user.reg",
                                         "home/.config/Corvalen/tesslow/user.reg.lock",
                                         "home/Music/"};
    EXPECT_EQ(Tree(sandbox.Root()), expected);

    const auto rip = RunProgram("tesslow-rip", {"--drive", written.cue.string(), "--format", "wav"}, offline);
    ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
    expected.push_back("home/Music/Track 01.wav");
    EXPECT_EQ(Tree(sandbox.Root()), expected);
}

TEST_F(RipCommand, ADiscWithoutTitlesGetsUnknownArtistAndAlbumFoldersBelowTheOutput)
{
    Insert({.tracks = {{.sectors = 100}}});
    const auto result = RunProgram("tesslow-rip", Args({"--format", "wav", "--artist-folder", "--album-folder"}));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "Unknown artist" / "Unknown album" / "Track 01.wav"));
    EXPECT_EQ(Tree(dir.Path() / "out").size(), 3u) << "nothing beside the chosen folder";
}

TEST_F(RipCommand, NoDiscAndImpossibleChoicesAreReportedWithExitCodeTwo)
{
    const auto noDisc = RunProgram("tesslow-rip", {"--output", (dir / "out").string()}, {"TESSLOW_DRIVES="});
    EXPECT_EQ(noDisc.exitCode, 2);
    EXPECT_EQ(noDisc.err, "No CD drive found.\n");

    Insert({.tracks = {{.sectors = 100}}});
    const auto noTrack = RunProgram("tesslow-rip", Args({"--tracks", "2"}));
    EXPECT_EQ(noTrack.exitCode, 2);
    EXPECT_NE(noTrack.err.find("the disc has no track 2"), std::string::npos);
    const auto badStep = RunProgram("tesslow-rip", Args({"--format", "ogg", "--quality", "custom:64"}));
    EXPECT_EQ(badStep.exitCode, 2);
    EXPECT_FALSE(fs::exists(dir / "out"));
}

}  // namespace
}  // namespace tesslow
