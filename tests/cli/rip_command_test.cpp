#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/command.h"
#include "support/private_mount.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunProgram;
using test::TempDir;

// tesslow-rip ripping a disc in the emulated drive, as a user runs it (no
// terminal: plain lines, existing files skipped), and attacked: killed,
// starved of disk, fed hostile titles. Whatever happens, a file under a
// track's name is that track, whole.
class RipCommand : public ::testing::Test {
protected:
    void Insert(test::TestDisc disc) { written = test::WriteTestDisc(dir.Path(), disc); }

    // The rip log and CUE sheet are left out unless `records`: the tests here
    // are about the tracks' files.
    std::vector<std::string> Args(std::vector<std::string> extra, bool records = false) const
    {
        std::vector<std::string> args = {"--drive", written.cue.string(), "--output", (dir / "out").string(),
                                          "--no-lookup"};
        if (!records) args.insert(args.end(), {"--no-log", "--no-cue"});
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    // A disc without titles names every file "Track NN", whatever the template.
    fs::path Output(const std::string& name) const { return dir / "out" / ("Track " + name); }

    std::vector<std::string> Entries() const { return test::FolderEntries(dir / "out"); }

    // Titles for the disc in the title cache, as an earlier look-up left them.
    void Name(const AlbumInfo& album)
    {
        DiscRecords records;
        ReadToc(records, written.cue.string());
        TitleCache cache(sandbox.DataHome() / "Corvalen" / "CDDBCache.xml");
        cache.Store(DiscIdFromRawToc(records[written.cue.string()].rawToc), album);
        ASSERT_TRUE(cache.Write());
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
    test::RunningProgram rip("tesslow-rip", Args({"--format", "wav"}, true));
    // The first track's file is being written, under its temporary name.
    for (int i = 0; i < 1000 && Entries().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    rip.Signal(SIGINT);
    const auto result = rip.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("Canceled."), std::string::npos);
    // No file of a track, partial or whole, is left; the log says what happened.
    const std::vector<std::string> left = Entries();
    ASSERT_EQ(left.size(), 1u) << "no file, partial or whole, is left";
    EXPECT_TRUE(left[0].starts_with("Tesslow rip ") && left[0].ends_with(".log")) << left[0];
    EXPECT_NE(ReadFile(dir / "out" / left[0]).find("  Health status: \"The rip was canceled\"\n"), std::string::npos);
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
    // The track, and its rip's log and CUE sheet, named by the time of the rip.
    std::vector<std::string> tree = Tree(sandbox.Root());
    const auto records = std::remove_if(tree.begin(), tree.end(), [](const std::string& entry) {
        return entry.starts_with("home/Music/Tesslow rip ") && (entry.ends_with(".log") || entry.ends_with(".cue"));
    });
    EXPECT_EQ(tree.end() - records, 2);
    tree.erase(records, tree.end());
    expected.push_back("home/Music/Track 01.wav");
    EXPECT_EQ(tree, expected);
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
    // Each refused before the first track, saying why.
    const struct {
        std::vector<std::string> args;
        const char* says;
    } refused[] = {
        {{"--format", "ogg", "--quality", "custom:64"}, "custom:64 is not a step of this format; its steps are 112, 128, 160"},
        {{"--format", "wav", "--template", "n"}, "gives every track the same name: put %2 (title) or %5"},
        {{"--format", "wav", "--template", "%%5 %1"}, "gives every track the same name"},
        {{"--format", "wav", "--template", ""}, "the file-name template is empty"},
    };
    for (const auto& c : refused) {
        const auto result = RunProgram("tesslow-rip", Args(c.args));
        EXPECT_EQ(result.exitCode, 2) << c.says;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    EXPECT_FALSE(fs::exists(dir / "out"));
    test::WriteFile(dir / "file", "x");
    std::vector<std::string> intoAFile = Args({"--format", "wav"});
    intoAFile[3] = (dir / "file" / "Music").string();  // --output
    const auto unusable = RunProgram("tesslow-rip", intoAFile);
    EXPECT_EQ(unusable.exitCode, 2);
    EXPECT_EQ(unusable.err, "tesslow-rip: the files cannot be saved in " + intoAFile[3] + " (" + (dir / "file").string() +
                                " is not a folder)\n");
}

// The audio an ffmpeg decode of `file` gives, 16-bit stereo; nothing when it
// cannot be decoded.
std::optional<std::string> Decoded(const fs::path& file)
{
    const auto decoded = test::RunCommand({"ffmpeg", "-v", "error", "-i", file.string(), "-f", "s16le", "-ac", "2", "-"});
    if (decoded.exitCode != 0) return std::nullopt;
    return decoded.out;
}

TEST_F(RipCommand, KillingTheRipAtAnyMomentNeverLeavesAnIncompleteFileUnderATracksName)
{
#ifdef TESSLOW_SANITIZED_BUILD
    GTEST_SKIP() << "sixty rips: left to the plain build";
#endif
    // Two tracks of a second, an eighth of a second each at this speed.
    Insert({.tracks = {{.sectors = 75}, {.sectors = 75}}, .conditions = {"SPEED 600"}});
    const std::string image[] = {test::DiscBytes(written, written.starts[0], 75),
                                 test::DiscBytes(written, written.starts[1], 75)};
    std::mt19937 random(26);
    std::uniform_int_distribution<int> moment(0, 450);
    for (const char* format : {"wav", "flac", "ape", "ogg", "mp3", "wma"}) {
        const bool lossless = std::string_view(format) == "wav" || std::string_view(format) == "flac" ||
                              std::string_view(format) == "ape";
        const std::string old = "an earlier rip's file";
        for (int attempt = 0; attempt < 10; ++attempt) {
            const int at = moment(random);
            SCOPED_TRACE(testing::Message() << format << ", killed after " << at << " ms");
            fs::remove_all(dir / "out");
            fs::create_directories(dir / "out");
            const fs::path first = dir / "out" / ("Track 01." + std::string(format));
            test::WriteFile(first, old);
            {
                test::RunningProgram rip("tesslow-rip", Args({"--format", format, "--overwrite"}));
                std::this_thread::sleep_for(std::chrono::milliseconds(at));
                rip.Signal(SIGKILL);
                (void)rip.Wait();
            }
            for (const std::string& name : Entries()) {
                if (name.front() == '.') continue;  // a temporary file, recognisably so
                const int track = name == "Track 01." + std::string(format) ? 0 : 1;
                ASSERT_EQ(name, "Track 0" + std::to_string(track + 1) + "." + format);
                const fs::path file = dir / "out" / name;
                if (track == 0 && ReadFile(file) == old) continue;  // the old file, untouched
                const std::optional<std::string> audio = Decoded(file);
                ASSERT_TRUE(audio) << name << " does not decode";
                if (lossless) {
                    EXPECT_TRUE(*audio == image[track]) << name << " is not the track";
                } else {
                    // A lossy codec adds at most a frame of its own at the edges.
                    const auto samples = static_cast<std::int64_t>(audio->size() / 4);
                    EXPECT_NEAR(samples, 75 * 588, 2048) << name << " is not the whole track";
                }
            }
            EXPECT_TRUE(fs::exists(first)) << "the old file was lost";
        }
    }
}

TEST_F(RipCommand, AFullDiskFailsEveryFormatInTheSameWordsAndKeepsTheOldFile)
{
    Insert({.tracks = {{.sectors = 600}}});
    // A disk of 64 KiB that only a child process sees; it writes what the
    // rips said to a file outside it.
    const fs::path out = dir / "out";
    fs::create_directories(out);
    const std::optional<int> finished = test::WithPrivateTmpfs(out, "size=64k", 0, [&] {
        std::string lines;
        for (const char* format : {"wav", "flac", "ape", "ogg", "mp3", "wma"}) {
            const fs::path old = out / ("Track 01." + std::string(format));
            test::WriteFile(old, "old");
            const auto rip = RunProgram("tesslow-rip", Args({"--format", format, "--overwrite"}));
            lines += std::to_string(rip.exitCode) + " " + rip.out + (ReadFile(old) == "old" ? "kept\n" : "lost\n");
            std::size_t files = 0;
            for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out)) ++files;
            if (files != 1) lines += "left something behind\n";
            fs::remove(old);
        }
        test::WriteFile(dir / "report", lines);
        return 0;
    });
    if (!finished) GTEST_SKIP() << "no user namespaces here to mount a small disk in";
    ASSERT_EQ(*finished, 0);
    const std::string lines = ReadFile(dir / "report");
    const std::string full = "write error (the disk is full: No space left on device";
    for (const char* format : {"wav", "flac", "ape", "ogg", "mp3", "wma"}) {
        const std::string line = "  Track 01." + std::string(format) + ": " + full;
        EXPECT_NE(lines.find(line), std::string::npos) << format << ":\n" << lines;
    }
    EXPECT_EQ(lines.find("lost"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("left something behind"), std::string::npos) << lines;
}

TEST_F(RipCommand, ALongArtistGivesEveryTrackANameOfItsOwnAndTitlesNeverReachTheTerminalRaw)
{
    Insert({.tracks = {{.sectors = 100}, {.sectors = 100}, {.sectors = 100}}});
    AlbumInfo album;
    for (int i = 0; i < 90; ++i) album.artist += "\xE9\x9F\xB3";  // 音: 270 bytes in all
    // What a title cache can hold of a hostile title: line breaks, a tab and
    // the one-character control sequence introducer U+009B.
    album.album = "Screen \r\n\tDone\xC2\x9B" "31m";
    album.trackTitles = {"One", "Two", "Three"};
    Name(album);

    const auto rip = RunProgram("tesslow-rip", Args({"--format", "flac"}), {"TESSLOW_MUSICBRAINZ_URL=http://127.0.0.1:9"});
    ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
    const std::vector<std::string> names = Entries();
    ASSERT_EQ(names.size(), 3u);
    for (std::size_t t = 0; t < 3; ++t) {
        EXPECT_LE(names[t].size(), 255u);
        EXPECT_NE(names[t].find(" - [0" + std::to_string(t + 1) + "] " + album.trackTitles[t] + ".flac"),
                  std::string::npos)
            << names[t];
        EXPECT_TRUE(Decoded(dir / "out" / names[t]) == test::DiscBytes(written, written.starts[t], 100));
    }

    // The "Disc:" line and the progress go to the terminal, stderr.
    for (const std::string& output : {rip.out, rip.err}) {
        EXPECT_EQ(output.find('\x1b'), std::string::npos) << output;
        EXPECT_EQ(output.find('\x07'), std::string::npos);
        EXPECT_EQ(output.find('\r'), std::string::npos);
        EXPECT_EQ(output.find("\xC2\x9B"), std::string::npos);
    }
    EXPECT_NE(rip.err.find("Disc: " + album.artist + " \xE2\x80\x94 Screen \\r\\n\\tDone\\u009b31m (titles from the title cache)"), std::string::npos)
        << rip.err;
}

TEST_F(RipCommand, AnInterruptBeforeTheFirstDataLeavesNoFile)
{
    // A slow drive: the first sector of the track comes after seconds.
    Insert({.tracks = {{.sectors = 1200}}, .conditions = {"SPEED 150"}});
    test::RunningProgram rip("tesslow-rip", Args({"--format", "ape", "--paranoia"}));
    for (int i = 0; i < 1000 && Entries().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(Entries().empty()) << "the track's file was never created";
    rip.Signal(SIGINT);
    const auto result = rip.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("Track 01.ape: Canceled."), std::string::npos) << result.out;
    EXPECT_EQ(Entries(), std::vector<std::string>{}) << "a file was left";
}

TEST_F(RipCommand, ASizeLimitKillsTheRipWithoutAPartialFileAndTheNextRipClearsWhatItLeft)
{
    Insert({.tracks = {{.sectors = 300}, {.sectors = 300}}});
    fs::create_directories(dir / "out");
    test::WriteFile(dir / "out" / "Track 01.flac", "an earlier rip's file");
    // Files may not grow past 100 kB: SIGXFSZ ends the program in the middle
    // of the first track.
    std::vector<std::string> command = {test::FindCommand("prlimit"), "--fsize=100000", TESSLOW_BIN_DIR "/tesslow-rip"};
    for (const std::string& arg : Args({"--format", "flac", "--overwrite"})) command.push_back(arg);
    const auto killed = test::RunCommand(command);
    EXPECT_NE(killed.exitCode, 0);
    std::vector<std::string> left = Entries();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[1], "Track 01.flac");
    EXPECT_EQ(ReadFile(dir / "out" / "Track 01.flac"), "an earlier rip's file");
    EXPECT_TRUE(left[0].starts_with(".Track 01.flac.") && left[0].ends_with(".tesslow-part")) << left[0];

    // The next rip into the folder removes the temporary file of the one that died.
    const auto rip = RunProgram("tesslow-rip", Args({"--format", "flac", "--overwrite"}));
    EXPECT_EQ(rip.exitCode, 0) << rip.out << rip.err;
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Track 01.flac", "Track 02.flac"}));
    EXPECT_TRUE(Decoded(dir / "out" / "Track 01.flac") == test::DiscBytes(written, written.starts[0], 300));
}

}  // namespace
}  // namespace tesslow
