#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tesslow {
namespace {

using test::RunProgram;
using test::TempDir;

// --info over the emulated drive, for CUE sheets as other programs write them.
class InfoCommand : public ::testing::Test {
protected:
    test::ProgramResult Info(const std::filesystem::path& cue, std::vector<std::string> args = {"--info", "--json"})
    {
        args.push_back("--no-lookup");
        return RunProgram("tesslow-rip", args, {"TESSLOW_DRIVES=" + cue.string()});
    }

    static constexpr const char* kNoTitles = "\", \"titles_from\": \"none\", \"release\": \"\", \"artist\": \"\", "
                                             "\"album\": \"\", \"year\": \"\", \"titles\": [], ";

    // The JSON from the track list on, after checking what comes before it
    // (by default: no titles).
    static std::string TrackPart(const std::string& json, const std::filesystem::path& cue,
                                 const std::string& naming = kNoTitles)
    {
        const std::string head = "{\"drive\": \"" + cue.string() + "\", \"discid\": \"";
        EXPECT_EQ(json.substr(0, head.size()), head);
        const std::size_t tracks = json.find("\"tracks\"");
        EXPECT_NE(tracks, std::string::npos);
        EXPECT_EQ(json.substr(head.size() + 28, tracks - head.size() - 28), naming);
        // No release to list, last of all.
        const std::string noReleases = ", \"releases\": []}\n";
        EXPECT_TRUE(json.ends_with(noReleases)) << json;
        if (tracks == std::string::npos || !json.ends_with(noReleases)) return json;
        return json.substr(tracks, json.size() - noReleases.size() - tracks) + "}\n";
    }

    test::UserSandbox sandbox;
    TempDir dir;
};

TEST_F(InfoCommand, AnExactAudioCopySheetWithOneWaveFilePerTrackGivesItsTrackList)
{
    test::WriteWaveFile(dir / "Band - 01 - Intro.wav", 300);
    test::WriteWaveFile(dir / "Band - 02 - Second.wav", 400);
    test::WriteCueSheet(dir / "Band - Album.cue",
                        "REM GENRE \"Progressive Rock\"\r\n"
                        "REM DATE 1973\r\n"
                        "REM DISCID 7B0B5C09\r\n"
                        "REM COMMENT \"ExactAudioCopy v1.6\"\r\n"
                        "PERFORMER \"Band\"\r\n"
                        "TITLE \"Album\"\r\n"
                        "FILE \"Band - 01 - Intro.wav\" WAVE\r\n"
                        "  TRACK 01 AUDIO\r\n"
                        "    TITLE \"Intro\"\r\n"
                        "    PERFORMER \"Band\"\r\n"
                        "    ISRC GBAYE7300001\r\n"
                        "    INDEX 01 00:00:00\r\n"
                        "  TRACK 02 AUDIO\r\n"
                        "    TITLE \"Second\"\r\n"
                        "    INDEX 00 00:03:70\r\n"
                        "FILE \"Band - 02 - Second.wav\" WAVE\r\n"
                        "    INDEX 01 00:00:00\r\n"
                        "  TRACK 03 AUDIO\r\n"
                        "    TITLE \"Third\"\r\n"
                        "    FLAGS PRE\r\n"
                        "    INDEX 00 00:02:00\r\n"
                        "    INDEX 01 00:02:30\r\n");
    // With --gaps the sheet's INDEX 00 points come back from the sub-channel;
    // its TITLE and PERFORMER lines come back as the disc's CD-Text.
    const auto result = Info(dir / "Band - Album.cue", {"--info", "--json", "--gaps"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(TrackPart(result.out, dir / "Band - Album.cue",
                        "\", \"titles_from\": \"cd-text\", \"release\": \"\", \"artist\": \"Band\", \"album\": "
                        "\"Album\", \"year\": \"\", \"titles\": [\"Intro\", \"Second\", \"Third\"], "),
              "\"tracks\": [{\"position\": 1, \"number\": 1, \"start\": 0, \"length\": 300, \"title\": \"Intro\", "
              "\"pregap\": 0, \"isrc\": \"GBAYE7300001\", \"preemphasis\": false}, "
              "{\"position\": 2, \"number\": 2, \"start\": 300, \"length\": 180, \"title\": \"Second\", "
              "\"pregap\": 5, \"isrc\": null, \"preemphasis\": false}, "
              "{\"position\": 3, \"number\": 3, \"start\": 480, \"length\": 220, \"title\": \"Third\", "
              "\"pregap\": 30, \"isrc\": null, \"preemphasis\": true}], "
              "\"leadout\": 700, \"accuraterip_id\": \"003-000005c8-000012e9-10000903\", \"catalog\": null, "
              "\"gaps_detected\": true, \"hidden_track\": null}\n");
}

TEST_F(InfoCommand, ACdrdaoSheetWithPregapsAndADataTrackListsOnlyTheAudio)
{
    test::WriteAudioFile(dir / "image.bin", 3000, true);
    test::WriteCueSheet(dir / "image.cue",
                        "REM Cue file written by cdrdao 1.2.4\n"
                        "CATALOG 0724384260927\n"
                        "CDTEXTFILE \"image.cdt\"\n"
                        "FILE \"image.bin\" BINARY\n"
                        "\n"
                        "  TRACK 01 AUDIO\n"
                        "    FLAGS DCP\n"
                        "    INDEX 01 00:00:00\n"
                        "\n"
                        "  TRACK 02 AUDIO\n"
                        "    PREGAP 00:02:00\n"
                        "    INDEX 01 00:13:45\n"
                        "\n"
                        "  TRACK 03 MODE2/2352\n"
                        "    INDEX 01 00:30:00\n");
    const auto result = Info(dir / "image.cue");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Track 2 starts after 1020 sectors of track 1 and 150 of generated
    // pregap; the data track at file sector 2250 follows it. The AccurateRip
    // id counts the audio tracks and the disc's lead-out; its FreeDB part
    // every track.
    EXPECT_EQ(TrackPart(result.out, dir / "image.cue"),
              "\"tracks\": [{\"position\": 1, \"number\": 1, \"start\": 0, \"length\": 1170, \"title\": \"Track 01\", "
              "\"pregap\": null, \"isrc\": null, \"preemphasis\": false}, "
              "{\"position\": 2, \"number\": 2, \"start\": 1170, \"length\": 1230, \"title\": \"Track 02\", "
              "\"pregap\": null, \"isrc\": null, \"preemphasis\": false}], "
              "\"leadout\": 3150, \"accuraterip_id\": \"002-000010e0-00002e0f-11002a03\", \"catalog\": \"0724384260927\", "
              "\"gaps_detected\": false, \"hidden_track\": null}\n");
}

TEST_F(InfoCommand, AnEnhancedCdInTwoFilesEndsItsAudioAtTheFirstSessionsEnd)
{
    test::WriteAudioFile(dir / "audio.bin", 900, true);
    test::WriteAudioFile(dir / "data.bin", 500, true);
    test::WriteCueSheet(dir / "enhanced.cue",
                        "REM SESSION 01\n"
                        "FILE \"audio.bin\" BINARY\n"
                        "  TRACK 01 AUDIO\n"
                        "    INDEX 01 00:00:00\n"
                        "  TRACK 02 AUDIO\n"
                        "    INDEX 01 00:06:00\n"
                        "REM SESSION 02\n"
                        "FILE \"data.bin\" BINARY\n"
                        "  TRACK 03 MODE2/2352\n"
                        "    INDEX 01 00:00:00\n");
    const auto result = Info(dir / "enhanced.cue");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(TrackPart(result.out, dir / "enhanced.cue"),
              "\"tracks\": [{\"position\": 1, \"number\": 1, \"start\": 0, \"length\": 450, \"title\": \"Track 01\", "
              "\"pregap\": null, \"isrc\": null, \"preemphasis\": false}, "
              "{\"position\": 2, \"number\": 2, \"start\": 450, \"length\": 450, \"title\": \"Track 02\", "
              "\"pregap\": null, \"isrc\": null, \"preemphasis\": false}], "
              "\"leadout\": 12800, \"accuraterip_id\": \"002-000033c2-00009985-1700aa03\", \"catalog\": null, "
              "\"gaps_detected\": false, \"hidden_track\": null}\n");

    const auto text = Info(dir / "enhanced.cue", {"--info"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::string trackTable = text.out.substr(text.out.find("    #"));
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "Drive: " + (dir / "enhanced.cue").string());
    EXPECT_NE(text.out.find("\nTitles from: none\n"), std::string::npos);
    EXPECT_NE(text.out.find("\nAccurateRip id: 002-000033c2-00009985-1700aa03\n"), std::string::npos) << text.out;
    EXPECT_EQ(trackTable,
              "    #  Track     Start    Length   Time  Title\n"
              "    1      1         0       450   0:06  Track 01\n"
              "    2      2       450       450   0:06  Track 02\n"
              "Lead-out: 12800\n"
              "Catalog: none\n"
              "Gaps: not looked for (--gaps looks)\n"
              "    #  Pregap  ISRC          Pre-emphasis\n"
              "    1       -  -             no\n"
              "    2       -  -             no\n");
}

TEST_F(InfoCommand, AMixedModeDiscsAccurateRipIdLeavesItsDataTrackOutOfTheSums)
{
    // Data track 1, then two audio tracks: the audio is numbered from 1 in
    // the sums, the FreeDB part counts all three tracks.
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300, true}, {300}, {300}}, .sparse = true}, "mixed");
    const auto result = Info(disc.cue);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\"leadout\": 900, \"accuraterip_id\": \"002-00000708-00001068-09000c03\","),
              std::string::npos)
        << result.out;
}

TEST_F(InfoCommand, WithoutAnAudioDiscItSaysSoInOneLineAndExitsWithTwo)
{
    const auto none = Info(dir / "nothing.cue");
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "No audio disc found.\n");

    const auto data = test::WriteTestDisc(dir.Path(), {.tracks = {{300, true}}, .sparse = true}, "data");
    const auto named = RunProgram("tesslow-rip", {"--info", "--drive", data.cue.string()}, {"TESSLOW_DRIVES="});
    EXPECT_EQ(named.exitCode, 2);
    EXPECT_EQ(named.err, "No audio disc in " + data.cue.string() + ".\n");

    test::WriteCueSheet(dir / "broken.cue", "FILE \"gone.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    const auto broken = RunProgram("tesslow-rip", {"--info", "--drive", (dir / "broken.cue").string()});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_EQ(broken.err, "No audio disc in " + (dir / "broken.cue").string() +
                              ": broken.cue, line 1: cannot open \"gone.bin\" (No such file or directory)\n");

    const auto noDrives = RunProgram("tesslow-rip", {"--info"}, {"TESSLOW_DRIVES="});
    EXPECT_EQ(noDrives.exitCode, 2);
    EXPECT_EQ(noDrives.err, "No CD drive found.\n");

    // Named pipes are refused at once, never waited on: as the sheet, among
    // the drives or named directly, and as the sheet's image.
    ASSERT_EQ(::mkfifo((dir / "pipe.cue").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe.bin").c_str(), 0600), 0);
    const auto pipeAmongDrives = Info(dir / "pipe.cue");
    EXPECT_EQ(pipeAmongDrives.exitCode, 2);
    EXPECT_EQ(pipeAmongDrives.err, "No audio disc found.\n");
    const auto pipeSheet = RunProgram("tesslow-rip", {"--info", "--drive", (dir / "pipe.cue").string()});
    EXPECT_EQ(pipeSheet.exitCode, 2);
    EXPECT_EQ(pipeSheet.err, "No audio disc in " + (dir / "pipe.cue").string() + ": pipe.cue: the CUE sheet is not a file\n");
    test::WriteCueSheet(dir / "piped.cue", "FILE \"pipe.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    const auto pipeImage = RunProgram("tesslow-rip", {"--info", "--drive", (dir / "piped.cue").string()});
    EXPECT_EQ(pipeImage.exitCode, 2);
    EXPECT_EQ(pipeImage.err,
              "No audio disc in " + (dir / "piped.cue").string() + ": piped.cue, line 1: \"pipe.bin\" is not a file\n");
}

}  // namespace
}  // namespace tesslow
