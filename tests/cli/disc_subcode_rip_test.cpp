#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/command.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCommand;
using test::RunProgram;

// What the disc says about itself, through tesslow-rip: ISRCs in the tags of
// every format, and a pre-emphasised track de-emphasised as SoX's deemph does
// it, or kept as the disc has it.
class DiscSubcodeRip : public ::testing::Test {
protected:
    // Track 1: 20 s of noise, pre-emphasised, with an ISRC; track 2 with another.
    void SetUp() override
    {
        written = test::WriteTestDisc(dir.Path(), {.tracks = {{.sectors = 1500, .isrc = "USRC17607839", .preemphasis = true},
                                                              {.sectors = 300, .isrc = "GBAYE0601498"}}});
        DiscRecords records;
        ReadToc(records, written.cue.string());
        const DiscRecord& disc = records[written.cue.string()];
        toc = disc.tracks;
        AlbumInfo album;
        album.artist = "Artist";
        album.album = "Album";
        album.trackTitles = {"Bright", "Plain"};
        TitleCache cache(sandbox.DataHome() / "Corvalen" / "CDDBCache.xml");
        cache.Store(DiscIdFromRawToc(disc.rawToc), album);
        ASSERT_TRUE(cache.Write());
    }

    test::ProgramResult Rip(const std::string& format, std::vector<std::string> extra = {}) const
    {
        std::vector<std::string> args = {"--drive", written.cue.string(), "--output", (dir / format).string(),
                                          "--no-lookup", "--no-accuraterip", "--no-verify-reads", "--no-log", "--no-cue",
                                          "--format", format, "--template", "%5"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProgram("tesslow-rip", args);
    }

    // A file's audio as 16-bit little-endian stereo PCM, decoded by ffmpeg.
    std::string Decoded(const fs::path& file) const
    {
        const fs::path raw = file.string() + ".raw";
        const auto decode = RunCommand({"ffmpeg", "-v", "error", "-y", "-i", file.string(), "-f", "s16le", raw.string()});
        EXPECT_EQ(decode.exitCode, 0) << decode.err;
        return ReadFile(raw);
    }

    // Every tag ffprobe finds, as "key=value" lines with lower-case keys.
    static std::string Tags(const fs::path& file)
    {
        const auto probe = RunCommand({"ffprobe", "-v", "error", "-show_entries", "format_tags:stream_tags", "-of",
                                       "default=noprint_wrappers=1:nokey=0", file.string()});
        EXPECT_EQ(probe.exitCode, 0) << probe.err;
        std::string tags = probe.out;
        for (std::size_t at = 0; at < tags.size(); at = tags.find('\n', at) + 1) {
            const std::size_t equals = tags.find('=', at);
            if (equals == std::string::npos) break;
            std::transform(tags.begin() + at, tags.begin() + equals, tags.begin() + at,
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        }
        return tags;
    }

    std::string Audio(std::size_t track) const { return test::DiscBytes(written, toc[track].start, toc[track].length); }

    test::UserSandbox sandbox;
    test::TempDir dir;
    test::WrittenDisc written;
    std::vector<TocEntry> toc;
};

TEST_F(DiscSubcodeRip, EveryTaggedFormatCarriesTheTracksIsrc)
{
    for (const std::string format : {"flac", "mp3", "ogg", "ape", "wma"}) {
        SCOPED_TRACE(format);
        const auto rip = Rip(format, {"--tracks", "2"});
        ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
        const std::string tags = Tags(dir / format / ("02." + format));
        EXPECT_NE(tags.find("=GBAYE0601498\n"), std::string::npos) << tags;
        EXPECT_EQ(tags.find("=USRC17607839\n"), std::string::npos) << tags;
    }
}

TEST_F(DiscSubcodeRip, APreEmphasisedTrackIsDeemphasisedAsSoxDoesItUnlessTheDiscsAudioIsKept)
{
    const fs::path original = dir / "original.raw";
    test::WriteFile(original, Audio(0));
    const fs::path reference = dir / "sox.raw";
    const auto sox = RunCommand({"sox", "-t", "raw", "-r", "44100", "-e", "signed", "-b", "16", "-c", "2", "-L",
                                 original.string(), "-t", "raw", reference.string(), "deemph"});
    ASSERT_EQ(sox.exitCode, 0) << sox.err;

    const auto rip = Rip("flac", {"--tracks", "1"});
    ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
    EXPECT_NE(rip.out.find("Note: Track 1: pre-emphasised on the disc; the file is de-emphasised"), std::string::npos)
        << rip.out;
    const fs::path flac = dir / "flac" / "01.flac";
    EXPECT_NE(Tags(flac).find("comment=Pre-emphasis removed\n"), std::string::npos) << Tags(flac);
    ASSERT_EQ(Decoded(flac).size(), Audio(0).size());
    const auto compare = RunCommand({"/usr/bin/python3", std::string(TESSLOW_SOURCE_DIR) + "/tests/support/spectrum_difference.py",
                                     flac.string() + ".raw", reference.string(), "100", "16000"});
    ASSERT_EQ(compare.exitCode, 0) << compare.err;
    EXPECT_LT(std::stod(compare.out), 0.2) << "dB apart from SoX's deemph";

    // Kept: with de-emphasis off, and always for WAV.
    fs::remove_all(dir / "flac");
    ASSERT_EQ(Rip("flac", {"--tracks", "1", "--no-deemphasis"}).exitCode, 0);
    EXPECT_TRUE(Decoded(dir / "flac" / "01.flac") == Audio(0));
    const auto wav = Rip("wav", {"--tracks", "1"});
    ASSERT_EQ(wav.exitCode, 0) << wav.err;
    EXPECT_NE(wav.out.find("Note: Track 1: pre-emphasised on the disc; the file keeps the disc's audio"), std::string::npos)
        << wav.out;
    EXPECT_TRUE(Decoded(dir / "wav" / "01.wav") == Audio(0));
}

TEST(HiddenTrack, AudioBeforeTrackOneRipsAsTrackZeroAndASilentPregapIsNoTrack)
{
    test::UserSandbox sandbox;
    test::TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{.sectors = 312, .indexZero = 12}, {.sectors = 300}}});
    const auto info = RunProgram("tesslow-rip", {"--info", "--json", "--no-lookup", "--drive", disc.cue.string()});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("\"hidden_track\": {\"start\": 0, \"length\": 12}"), std::string::npos) << info.out;

    const auto rip = RunProgram("tesslow-rip", {"--drive", disc.cue.string(), "--output", (dir / "out").string(), "--no-lookup",
                                                "--no-accuraterip", "--format", "wav", "--tracks", "0-2"});
    ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
    const std::string hidden = ReadFile(dir / "out" / "Track 00 - Hidden track.wav");
    ASSERT_GT(hidden.size(), 46u);
    EXPECT_TRUE(hidden.substr(46) == test::DiscBytes(disc, 0, 12));
    // Its CUE sheet holds track 1's pregap in the hidden track's file, and
    // gives the disc back, hidden track and all.
    fs::path sheet;
    for (const auto& entry : fs::directory_iterator(dir / "out"))
        if (entry.path().extension() == ".cue") sheet = entry.path();
    const std::string cue = ReadFile(sheet);
    EXPECT_NE(cue.find("FILE \"Track 00 - Hidden track.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 00 00:00:00\n"
                       "FILE \"Track 01.wav\" WAVE\n    INDEX 01 00:00:00\n"),
              std::string::npos)
        << cue;
    const auto again = RunProgram("tesslow-rip", {"--info", "--json", "--no-lookup", "--drive", sheet.string()});
    EXPECT_EQ(again.out.substr(again.out.find("\"tracks\"")), info.out.substr(info.out.find("\"tracks\""))) << cue;

    // Two seconds of silence before track 1: no hidden track to list or rip.
    test::WriteCueSheet(dir / "silent.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    PREGAP 00:02:00\n"
                                            "    INDEX 01 00:00:00\n");
    const auto silent = RunProgram("tesslow-rip", {"--info", "--json", "--no-lookup", "--drive", (dir / "silent.cue").string()});
    EXPECT_NE(silent.out.find("\"start\": 150"), std::string::npos) << silent.out;
    EXPECT_NE(silent.out.find("\"hidden_track\": null"), std::string::npos) << silent.out;
    const auto refused = RunProgram("tesslow-rip", {"--drive", (dir / "silent.cue").string(), "--output", (dir / "none").string(),
                                                    "--no-lookup", "--tracks", "0"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("the disc has no hidden track before track 1"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(dir / "none"));
}

}  // namespace
}  // namespace tesslow
