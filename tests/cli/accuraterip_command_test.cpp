#include "support/accuraterip_data.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

constexpr std::int32_t kTrackSectors = 600;

std::string Hex(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

// tesslow-rip checking a disc of three tracks against an AccurateRip database
// of the test's own, a server on 127.0.0.1 answering with dBAR files written
// here as the real database writes them.
class AccurateRipCommand : public ::testing::Test {
protected:
    AccurateRipCommand()
    {
        written = test::WriteTestDisc(dir.Path(), {.tracks = {{kTrackSectors}, {kTrackSectors}, {kTrackSectors}}});
        for (std::size_t t = 0; t < 3; ++t)
            expected.push_back(test::SumsOf(test::DiscBytes(written, written.starts[t], kTrackSectors), t == 0, t == 2));
        const auto info = RunProgram("tesslow-rip", {"--info", "--json", "--no-lookup", "--drive", written.cue.string()});
        const std::size_t at = info.out.find("\"accuraterip_id\": \"");
        EXPECT_NE(at, std::string::npos) << info.out;
        id = info.out.substr(at + 19, 30);
    }

    // A response of the database for this disc (or, with `foreignIds`, for
    // another), as bytes.
    std::string Response(const std::vector<test::DbarEntry>& entries, bool foreignIds = false) const
    {
        return test::DbarResponse(id, entries, foreignIds);
    }
    fs::path DbarFile() const { return test::DbarFixture(serverRoot.Path(), id); }
    void Serve(const std::string& bytes) const { test::WriteFile(DbarFile(), bytes); }

    test::ProgramResult Rip(std::vector<std::string> extra = {}) const
    {
        std::vector<std::string> args = {"--drive", written.cue.string(), "--output", (dir / "out").string(),
                                          "--no-lookup", "--format", "wav", "--overwrite"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProgram("tesslow-rip", args, {"TESSLOW_ACCURATERIP_URL=" + server.Url()});
    }

    // The JSON of one track of a --json rip: from its "position" on.
    static std::string TrackJson(const std::string& json, int position)
    {
        const std::size_t at = json.find("{\"position\": " + std::to_string(position) + ",");
        return at == std::string::npos ? "" : json.substr(at, json.find("}}", at) + 2 - at);
    }
    std::string AccurateTrack(int position, int confidence, const char* match) const
    {
        const test::TrackSums& sums = expected[static_cast<std::size_t>(position - 1)];
        return "{\"position\": " + std::to_string(position) + ", \"number\": " + std::to_string(position) +
               ", \"file\": \"" + (dir / "out" / ("Track 0" + std::to_string(position) + ".wav")).string() +
               "\", \"status\": \"ripped\", \"errors\": [], \"silent_samples\": 0, \"replaygain\": null, \"crc32\": \"" + Hex(sums.crc32) +
               "\", \"accuraterip\": {\"v1\": \"" + Hex(sums.v1) + "\", \"v2\": \"" + Hex(sums.v2) +
               "\", \"result\": \"accurate\", \"confidence\": " + std::to_string(confidence) + ", \"match\": \"" + match +
               "\"}}";
    }

    test::UserSandbox sandbox;
    test::TempDir dir;
    test::TempDir serverRoot;
    test::HttpFixtureServer server{serverRoot.Path()};
    test::WrittenDisc written;
    std::vector<test::TrackSums> expected;
    std::string id;
};

TEST_F(AccurateRipCommand, EveryTrackIsFoundInTheSecondOfTwoResponsesAndTheJsonCarriesItAll)
{
    ASSERT_EQ(id.size(), 30u) << id;
    // Another pressing first (higher confidence, other checksums), then ours:
    // tracks 1 and 3 by their v2, track 2 by its v1.
    Serve(Response({{40, 1}, {40, 2}, {40, 3}}) +
          Response({{7, expected[0].v2}, {9, expected[1].v1}, {7, expected[2].v2}}));
    const auto json = Rip({"--json"});
    ASSERT_EQ(json.exitCode, 0) << json.out << json.err;
    EXPECT_EQ(json.out.rfind("{\"result\": \"completed\", \"exit_code\": 0, \"output\": \"" + (dir / "out").string() +
                                 "\", \"accuraterip\": {\"id\": \"" + id +
                                 "\", \"status\": \"found\", \"responses\": 2, \"max_confidence\": 40}, ",
                             0),
              0u)
        << json.out;
    EXPECT_EQ(TrackJson(json.out, 1), AccurateTrack(1, 7, "v2"));
    EXPECT_EQ(TrackJson(json.out, 2), AccurateTrack(2, 9, "v1"));
    EXPECT_EQ(TrackJson(json.out, 3), AccurateTrack(3, 7, "v2"));
    EXPECT_EQ(json.out.back(), '\n');
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << "one JSON object, nothing else";

    const auto text = Rip();
    ASSERT_EQ(text.exitCode, 0) << text.out << text.err;
    EXPECT_NE(text.out.find("AccurateRip (" + id + "):\n"
                            "  01 \xE2\x80\x94 Track 01: accurately ripped (confidence 7, AccurateRip v2)\n"
                            "  02 \xE2\x80\x94 Track 02: accurately ripped (confidence 9, AccurateRip v1)\n"
                            "  03 \xE2\x80\x94 Track 03: accurately ripped (confidence 7, AccurateRip v2)\n"
                            "AccurateRip: all 3 tracks accurately ripped (confidence 7)\n"),
              std::string::npos)
        << text.out;
}

TEST_F(AccurateRipCommand, OneTrackThatMatchesNothingWhileTheOthersDoIsAnError)
{
    Serve(Response({{5, expected[0].v2}, {5, expected[1].v2 + 1}, {5, expected[2].v2}}));
    const auto rip = Rip({"--json"});
    EXPECT_EQ(rip.exitCode, 3) << rip.out << rip.err;
    const std::string line = "AccurateRip does not confirm this track although others on the disc match; it may be damaged";
    EXPECT_NE(rip.err.find("error: Track 02.wav: " + line), std::string::npos) << rip.err;
    EXPECT_NE(TrackJson(rip.out, 2).find("\"status\": \"ripped\", \"errors\": [\"" + line + "\"]"), std::string::npos)
        << rip.out;
    EXPECT_NE(TrackJson(rip.out, 2).find("\"result\": \"not accurate\", \"confidence\": 0, \"match\": null"),
              std::string::npos);
    EXPECT_EQ(TrackJson(rip.out, 1), AccurateTrack(1, 5, "v2"));
    EXPECT_EQ(rip.out.rfind("{\"result\": \"completed with errors\", \"exit_code\": 3", 0), 0u);
}

TEST_F(AccurateRipCommand, WhatTheDatabaseCannotVouchForIsSaidOnceAndOnlyRequiredAccuracyMakesItAnError)
{
    const struct {
        const char* name;
        std::optional<std::string> served;  // nothing: 404
        std::vector<std::string> options;
        int exitCode;
        std::string said;
    } cases[] = {
        {"the disc is not in the database", std::nullopt, {}, 0, "AccurateRip: this disc is not in the database\n"},
        {"no track matches: another pressing", Response({{3, 1}, {3, 2}, {3, 3}}), {}, 0,
         "AccurateRip: no track matches; this pressing may not be in the database\n"},
        {"required, and not in the database", std::nullopt, {"--require-accurate"}, 3,
         "  Track 01.wav: AccurateRip does not confirm this track\n"},
        {"a file cut short: the whole response before the cut counts",
         Response({{6, expected[0].v2}, {6, expected[1].v2}, {6, expected[2].v2}}) + Response({{6, 1}}).substr(0, 9), {}, 0,
         "AccurateRip: all 3 tracks accurately ripped (confidence 6)\n"},
        {"a response for another disc is dropped",
         Response({{50, expected[0].v2}, {50, expected[1].v2}, {50, expected[2].v2}}, true) +
             Response({{2, expected[0].v2}, {2, expected[1].v2}, {2, expected[2].v2}}),
         {}, 0, "AccurateRip: all 3 tracks accurately ripped (confidence 2)\n"},
        {"asked not to ask", Response({{3, 1}, {3, 2}, {3, 3}}), {"--no-accuraterip"}, 0, "Done: every track was ripped.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(DbarFile());
        if (c.served) Serve(*c.served);
        const auto rip = Rip(c.options);
        EXPECT_EQ(rip.exitCode, c.exitCode) << rip.out << rip.err;
        EXPECT_NE(rip.out.find(c.said), std::string::npos) << rip.out;
        if (c.options == std::vector<std::string>{"--no-accuraterip"}) {
            EXPECT_EQ(rip.out.find("AccurateRip"), std::string::npos) << rip.out;
        }
    }
    // The database was asked once per rip, never when told not to.
    EXPECT_EQ(server.Requests().size(), std::size(cases) - 1);
}

}  // namespace
}  // namespace tesslow
