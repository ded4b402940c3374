#include "ripper/cue_sheet_writer.h"
#include "ripper/rip_records.h"

#include "metadata/disc_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;

TEST(CueSheet, GapsGoIntoTheFileBeforeAndWhatTheSyntaxCannotHoldIsReplaced)
{
    // Track 1 starts 33 sectors in; track 2 is pre-emphasised.
    DiscRecord disc = test::MakeDiscRecord({{1, 33}, {2, 1000}, {3, 2000}}, 3000);
    disc.rawToc[4 + 8 + 1] |= 0x01;
    disc.album.artist = "The \"Loud\" Band";
    disc.album.album = "Live\r\nTwice";
    disc.album.trackTitles = {"One", "Two \"2\"", ""};
    const std::vector<CueTrack> tracks = {
        {0, "01 One.wav", std::nullopt, ""},
        {1, "02 Two.wav", 150, "USRC17607839"},
        {2, "sub/03.wav", 40, ""},
    };
    EXPECT_EQ(CueSheetText(disc, tracks, "1.2.3"),
              "REM DISCID 12002803\n"
              "REM COMMENT \"Tesslow 1.2.3\"\n"
              "PERFORMER \"The 'Loud' Band\"\n"
              "TITLE \"Live  Twice\"\n"
              "FILE \"01 One.wav\" WAVE\n"
              "  TRACK 01 AUDIO\n"
              "    TITLE \"One\"\n"
              "    PERFORMER \"The 'Loud' Band\"\n"
              "    PREGAP 00:00:33\n"
              "    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n"
              "    TITLE \"Two '2'\"\n"
              "    PERFORMER \"The 'Loud' Band\"\n"
              "    ISRC USRC17607839\n"
              "    FLAGS PRE\n"
              "    INDEX 00 00:10:67\n"
              "FILE \"02 Two.wav\" WAVE\n"
              "    INDEX 01 00:00:00\n"
              "  TRACK 03 AUDIO\n"
              "    PERFORMER \"The 'Loud' Band\"\n"
              "    INDEX 00 00:12:60\n"
              "FILE \"sub/03.wav\" WAVE\n"
              "    INDEX 01 00:00:00\n");

    // A mixed-mode disc: the data track is left out and its audio track 2
    // has no pregap; a track whose predecessor was not ripped has its gap in
    // no file.
    const DiscRecord mixed = test::MakeDiscRecord({{1, 0, true}, {2, 5000}, {3, 6000}, {4, 7000}}, 8000);
    EXPECT_EQ(CueSheetText(mixed, {{0, "a.wav", std::nullopt, ""}, {2, "c.wav", 75, ""}}, "1"),
              "REM DISCID 28006A04\n"
              "REM COMMENT \"Tesslow 1\"\n"
              "FILE \"a.wav\" WAVE\n"
              "  TRACK 02 AUDIO\n"
              "    INDEX 01 00:00:00\n"
              "FILE \"c.wav\" WAVE\n"
              "  TRACK 04 AUDIO\n"
              "    INDEX 01 00:00:00\n");

    // A ripped hidden track holds track 1's pregap; a de-emphasised file is
    // not flagged PRE (it would be de-emphasised twice); the catalog number.
    const std::vector<CueTrack> withHidden = {{kHiddenTrackIndex, "00.flac", std::nullopt, ""},
                                              {0, "01.flac", 0, ""},
                                              {1, "02.flac", std::nullopt, "", true, true}};
    EXPECT_EQ(CueSheetText(disc, withHidden, "1", "0724384960650"),
              "REM DISCID 12002803\n"
              "REM COMMENT \"Tesslow 1\"\n"
              "CATALOG 0724384960650\n"
              "PERFORMER \"The 'Loud' Band\"\n"
              "TITLE \"Live  Twice\"\n"
              "FILE \"00.flac\" WAVE\n"
              "  TRACK 01 AUDIO\n"
              "    TITLE \"One\"\n"
              "    PERFORMER \"The 'Loud' Band\"\n"
              "    INDEX 00 00:00:00\n"
              "FILE \"01.flac\" WAVE\n"
              "    INDEX 01 00:00:00\n"
              "FILE \"02.flac\" WAVE\n"
              "  TRACK 02 AUDIO\n"
              "    TITLE \"Two '2'\"\n"
              "    PERFORMER \"The 'Loud' Band\"\n"
              "    INDEX 01 00:00:00\n");
}

class RipRecordsFiles : public ::testing::Test {
protected:
    RipRecordsFiles()
    {
        disc = test::MakeDiscRecord(test::EvenTracks(2, 1000), 2000);
        disc.album.artist = "Artist";
        disc.album.album = "Album";
        input.version = "1";
        input.created = "2026-12-08T12:00:00Z";
        input.disc = &disc;
        input.folder = (dir.Path() / "out").string() + "/";
        TrackOutcome track;
        track.file = input.folder + "Artist - [01] One.wav";
        track.number = 1;
        track.sums = TrackChecksums::Sums{};
        input.tracks = {track};
    }

    test::TempDir dir;
    DiscRecord disc;
    RipLogInput input;
};

TEST_F(RipRecordsFiles, AnEarlierRipsRecordsAreKeptACanceledRipHasNoCueSheetAndAFailureIsALine)
{
    EXPECT_EQ(WriteRipRecords(input, true, true), std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(dir / "out" / "Artist - Album.log"));
    EXPECT_TRUE(fs::exists(dir / "out" / "Artist - Album.cue"));

    input.canceled = true;
    EXPECT_EQ(WriteRipRecords(input, true, true), std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(dir / "out" / "Artist - Album (2).log"));
    EXPECT_FALSE(fs::exists(dir / "out" / "Artist - Album (2).cue"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir / "out")) ++files;
    EXPECT_EQ(files, 3u) << "no temporary file is left";

    // A file where the folder should be.
    test::WriteFile(dir / "in the way", "");
    input.folder = (dir / "in the way").string() + "/";
    input.canceled = false;
    EXPECT_EQ(WriteRipRecords(input, true, true),
              (std::vector<std::string>{"Artist - Album.log: could not be written (a file is in the way: Not a directory)",
                                        "Artist - Album.cue: could not be written (a file is in the way: Not a directory)"}));
}

}  // namespace
}  // namespace tesslow
