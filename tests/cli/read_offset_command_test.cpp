#include "support/accuraterip_data.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

const std::vector<std::int32_t> kTracks = {600, 700, 650};

// A drive model of its own per disc, so what one remembers is not another's.
std::string Product(std::int32_t offset) { return "DRIVE " + std::to_string(offset); }
std::string Signed(std::int32_t offset) { return (offset > 0 ? "+" : "") + std::to_string(offset); }

// tesslow-rip on emulated drives that deliver the disc's audio some samples
// early or late, with an AccurateRip database of the test's own on 127.0.0.1
// whose entries are worked out here from the image's own audio.
class ReadOffsetCommand : public ::testing::Test {
protected:
    struct Disc {
        test::WrittenDisc written;
        std::string id;  // AccurateRip's
        std::vector<std::string> audio;  // per track, as on the disc
    };

    // A disc whose drive has `offset`, overreads, and names itself
    // "TESTVEND" + Product(offset); in the database unless `known` is false.
    Disc Insert(std::int32_t offset, bool known = true, const std::vector<std::int32_t>& lengths = kTracks)
    {
        Disc disc;
        const fs::path folder = dir / Product(offset);
        fs::create_directories(folder);
        std::vector<test::TestTrack> tracks;
        for (const std::int32_t length : lengths) tracks.push_back({length});
        disc.written = test::WriteTestDisc(folder, {.tracks = tracks,
                                                    .conditions = {"OFFSET " + Signed(offset), "OVERREAD",
                                                                   "INQUIRY \"TESTVEND\" \"" + Product(offset) + "\""},
                                                    .seed = static_cast<std::uint32_t>(offset + 10000)});
        const auto info = RunProgram("tesslow-rip", {"--info", "--json", "--no-lookup", "--drive", Cue(disc)});
        const std::size_t at = info.out.find("\"accuraterip_id\": \"");
        EXPECT_NE(at, std::string::npos) << info.out;
        disc.id = info.out.substr(at + 19, 30);
        std::vector<test::DbarEntry> entries;
        for (std::size_t t = 0; t < lengths.size(); ++t) {
            disc.audio.push_back(test::DiscBytes(disc.written, disc.written.starts[t], lengths[t]));
            const test::TrackSums sums = test::SumsOf(disc.audio.back(), t == 0, t + 1 == lengths.size());
            entries.push_back({5, sums.v1, sums.frame450});
        }
        if (known) test::WriteFile(test::DbarFixture(serverRoot.Path(), disc.id), test::DbarResponse(disc.id, entries));
        return disc;
    }
    static std::string Cue(const Disc& disc) { return disc.written.cue.string(); }

    test::ProgramResult Run(const Disc& disc, std::vector<std::string> args) const
    {
        args.insert(args.end(), {"--drive", Cue(disc), "--no-lookup"});
        return RunProgram("tesslow-rip", args, {"TESSLOW_ACCURATERIP_URL=" + server.Url()});
    }
    test::ProgramResult Rip(const Disc& disc, std::vector<std::string> args = {}) const
    {
        fs::remove_all(dir / "out");
        args.insert(args.end(), {"--output", (dir / "out").string(), "--format", "wav", "--json"});
        return Run(disc, args);
    }

    // The audio of a ripped track's WAVE file.
    std::string Ripped(std::size_t track) const
    {
        const std::string file = test::ReadFile(dir / "out" / ("Track 0" + std::to_string(track + 1) + ".wav"));
        const std::size_t data = file.find("data");
        return data == std::string::npos ? std::string() : file.substr(data + 8);
    }

    // Each track is the disc's audio, but for the samples at the disc's ends
    // that the offset put outside it and nothing overread: those are silence,
    // and the JSON says how many. AccurateRip calls every track accurate.
    void ExpectTheDiscsAudio(const Disc& disc, std::int32_t offset, bool overread, const std::string& json) const
    {
        const std::size_t last = disc.audio.size() - 1;
        for (std::size_t t = 0; t <= last; ++t) {
            SCOPED_TRACE(testing::Message() << "track " << t + 1);
            std::string expected = disc.audio[t];
            const std::int64_t before = !overread && t == 0 && offset < 0 ? -offset : 0;
            const std::int64_t after = !overread && t == last && offset > 0 ? offset : 0;
            std::fill_n(expected.begin(), before * 4, '\0');
            std::fill_n(expected.end() - after * 4, after * 4, '\0');
            EXPECT_TRUE(Ripped(t) == expected);
            const std::size_t track = json.find("{\"position\": " + std::to_string(t + 1) + ",");
            ASSERT_NE(track, std::string::npos) << json;
            EXPECT_EQ(json.find("\"silent_samples\": " + std::to_string(before + after), track),
                      json.find("\"silent_samples\": ", track))
                << json;
        }
        EXPECT_EQ(Count(json, "\"result\": \"accurate\""), disc.audio.size()) << json;
    }
    static std::size_t Count(const std::string& text, const std::string& part)
    {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }

    test::UserSandbox sandbox;
    test::TempDir dir;
    test::TempDir serverRoot;
    test::HttpFixtureServer server{serverRoot.Path()};
};

TEST_F(ReadOffsetCommand, FindOffsetFindsEachDrivesOffsetAndItsModelsNextRipsAreExactWithIt)
{
    const std::vector<std::int32_t> offsets = {+667, -472, +102, +1776, -1164};
    for (const std::int32_t offset : offsets) {
        SCOPED_TRACE(testing::Message() << "offset " << offset);
        const Disc disc = Insert(offset);
        const auto found = Run(disc, {"--find-offset"});
        ASSERT_EQ(found.exitCode, 0) << found.out << found.err;
        EXPECT_EQ(found.out, "Read offset of this drive: " + Signed(offset) +
                                 " samples (3 tracks agree, AccurateRip)\nRemembered for TESTVEND " + Product(offset) +
                                 ".\n");

        // Unasked, the next rips on this model read with it: without
        // overread the few samples past the disc's ends are silence, and
        // said; with it they are the drive's.
        for (const bool overread : {false, true}) {
            SCOPED_TRACE(overread ? "overread" : "no overread");
            const auto rip = Rip(disc, overread ? std::vector<std::string>{"--overread"} : std::vector<std::string>{});
            ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
            EXPECT_NE(rip.out.find("\"read_offset\": {\"samples\": " + std::to_string(offset) +
                                   ", \"source\": \"remembered\", \"drive\": \"TESTVEND " + Product(offset) +
                                   "\"}, \"overread\": " + (overread ? "true" : "false")),
                      std::string::npos)
                << rip.out;
            ExpectTheDiscsAudio(disc, offset, overread, rip.out);
            const std::string silence =
                offset > 0 ? "Track 3: the last " + std::to_string(offset) + " samples lie past the end of the disc and are silence"
                           : "Track 1: the first " + std::to_string(-offset) +
                                 " samples lie before the start of the disc and are silence";
            EXPECT_EQ(rip.out.find(silence) != std::string::npos, !overread) << rip.out;
        }
    }
    // Each model kept its own.
    const std::string store = test::ReadFile(sandbox.UserStore());
    for (const std::int32_t offset : offsets) {
        char value[9];
        std::snprintf(value, sizeof value, "%08x", static_cast<std::uint32_t>(offset));
        EXPECT_NE(store.find("[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow\\Drives\\TESTVEND " + Product(offset) +
                             "]\n\"ReadOffset\"=dword:" + value + "\n"),
                  std::string::npos)
            << store;
    }
}

TEST_F(ReadOffsetCommand, ARipOnADriveOfUnknownOffsetFindsItFirstWhenTheDatabaseKnowsTheDisc)
{
    const Disc disc = Insert(+1776);
    const auto rip = Rip(disc);
    ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
    EXPECT_NE(rip.err.find("Finding the drive's read offset...\n"), std::string::npos) << rip.err;
    EXPECT_NE(rip.out.find("\"read_offset\": {\"samples\": 1776, \"source\": \"found\""), std::string::npos) << rip.out;
    EXPECT_NE(rip.out.find("\"notes\": [\"Read offset of this drive: +1776 samples (3 tracks agree, AccurateRip); "
                           "remembered for TESTVEND DRIVE 1776.\", "),
              std::string::npos)
        << rip.out;
    ExpectTheDiscsAudio(disc, 1776, false, rip.out);
    // Remembered: the next rip does not search.
    const auto again = Rip(disc, {"--offset", "+1776"});
    EXPECT_NE(again.out.find("\"source\": \"given\""), std::string::npos) << again.out;
    EXPECT_EQ(Rip(disc).out.find("\"source\": \"found\""), std::string::npos);

    // A disc the database does not know (its layout, and so its id, is
    // another's): read as the drive delivers it, and said.
    const Disc unknown = Insert(-472, false, {610, 700, 650});
    const auto plain = Rip(unknown);
    ASSERT_EQ(plain.exitCode, 0) << plain.out << plain.err;
    EXPECT_NE(plain.out.find("\"read_offset\": {\"samples\": 0, \"source\": \"unknown\""), std::string::npos)
        << plain.out;
    EXPECT_NE(plain.out.find("\"notes\": [\"The read offset of this drive is not known yet, so the tracks are read as the "
                             "drive delivers them; it is found by itself the first time a disc that AccurateRip knows is "
                             "ripped.\"]"),
              std::string::npos)
        << plain.out;
    EXPECT_TRUE(Ripped(1) == unknown.audio[1].substr(472 * 4) + unknown.audio[2].substr(0, 472 * 4));

    // A disc the database knows, but with one track long enough to compare.
    const auto unsettled = Rip(Insert(40, true, {600, 300, 300}));
    ASSERT_EQ(unsettled.exitCode, 0) << unsettled.out << unsettled.err;
    EXPECT_NE(unsettled.out.find("\"notes\": [\"The read offset of this drive could not be found with this disc (only 1 "
                                 "track could be compared), so the tracks are read as the drive delivers them.\"]"),
              std::string::npos)
        << unsettled.out;
}

TEST_F(ReadOffsetCommand, FindOffsetRefusesWhatCannotTellTheOffsetAndRemembersNothing)
{
    const struct {
        const char* name;
        std::int32_t offset;
        bool known;
        std::vector<std::int32_t> tracks;
        std::string said;
    } cases[] = {
        {"not in the database", 30, false, kTracks,
         "This disc is not in the AccurateRip database, so it cannot tell the read offset; try another disc.\n"},
        {"one track long enough to compare", 40, true, {600, 300, 300},
         "The read offset could not be found: only 1 track could be compared; try another disc.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = Run(Insert(c.offset, c.known, c.tracks), {"--find-offset"});
        EXPECT_EQ(found.exitCode, 2);
        EXPECT_EQ(found.out, "");
        EXPECT_EQ(found.err, c.said);
    }
    EXPECT_EQ(test::ReadFile(sandbox.UserStore()).find("Drives"), std::string::npos);
}

}  // namespace
}  // namespace tesslow
