#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

// tesslow-rip naming a disc that neither the title cache nor the web service
// knows from the CD-Text the emulated drive reads from its sheet's TITLE and
// PERFORMER lines.
TEST(CdTextCommand, AnUnknownDiscIsNamedFromWhatItsCdTextPacksStillSay)
{
    test::UserSandbox sandbox;
    test::TempDir dir;
    test::WriteAudioFile(dir / "disc.bin", 300, true);
    const std::string disc = "PERFORMER \"Die \u00C4rzte\"\n"
                             "TITLE \"Stra\u00DFenmusik\"\n"
                             "FILE \"disc.bin\" BINARY\n"
                             "  TRACK 01 AUDIO\n"
                             "    TITLE \"Erste Runde\"\n"
                             "    PERFORMER \"Die \u00C4rzte\"\n"
                             "    INDEX 01 00:00:00\n"
                             "  TRACK 02 AUDIO\n"
                             "    TITLE \"Zweite \u2603\"\n"
                             "    PERFORMER \"Gast\"\n"
                             "    INDEX 01 00:01:00\n"
                             "  TRACK 03 AUDIO\n"
                             "    INDEX 01 00:02:00\n";
    const struct {
        const char* scenario;
        std::string conditions;
        std::string naming;  // the JSON from "titles_from" to the track list
    } cases[] = {
        {"every pack whole", "",
         "\"titles_from\": \"cd-text\", \"release\": \"\", \"artist\": \"Die \u00C4rzte\", "
         "\"album\": \"Stra\u00DFenmusik\", \"year\": \"\", \"titles\": [\"Erste Runde\", \"Zweite ?\", \"\"], "},
        // Of the title packs "Stra\xDF" "enmusik\0Erst" | "e Runde\0Zwei" | "te ?\0\0", the
        // second is bad: the disc's title and track 1's go with it. Of the
        // performers, the second and fourth packs: every performer is cut.
        {"every second pack with a bad CRC", "REM TESSLOW CDTEXT-BADCRC 2\n",
         "\"titles_from\": \"cd-text\", \"release\": \"\", \"artist\": \"\", \"album\": \"\", \"year\": \"\", "
         "\"titles\": [\"\", \"Zweite ?\", \"\"], "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        test::WriteCueSheet(dir / "disc.cue", c.conditions + disc);
        const auto result = test::RunProgram(
            "tesslow-rip", {"--info", "--json"},
            {"TESSLOW_DRIVES=" + (dir / "disc.cue").string(), "TESSLOW_MUSICBRAINZ_URL=http://127.0.0.1:9",
             "LANGUAGE=", "LC_ALL=", "LC_MESSAGES=", "LANG=C"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::size_t from = result.out.find("\"titles_from\"");
        const std::size_t tracks = result.out.find("\"tracks\"");
        ASSERT_NE(from, std::string::npos) << result.out;
        ASSERT_NE(tracks, std::string::npos) << result.out;
        EXPECT_EQ(result.out.substr(from, tracks - from), c.naming);
    }
}

}  // namespace
}  // namespace tesslow
