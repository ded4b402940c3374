#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/ws2_fixtures.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

constexpr const char* kFirst = "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01";
constexpr const char* kRemaster = "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d06";

// tesslow-rip on an emulated four-track disc that a web service of the
// test's own knows as three releases (the compilation's answers, keyed by
// this disc's id).
class ReleaseChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<test::TestTrack> tracks(4, test::TestTrack{.sectors = 100});
        disc = test::WriteTestDisc(dir.Path(), {.tracks = tracks});
        DiscRecords records;
        ReadToc(records, disc.cue.string());
        discId = DiscIdFromRawToc(records[disc.cue.string()].rawToc);
        test::WriteCompilationAnswers(serverRoot.Path(), discId,
                                      {kFirst, "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d02", kRemaster});
    }

    test::ProgramResult Run(std::vector<std::string> args) const
    {
        return RunProgram("tesslow-rip", args,
                          {"TESSLOW_DRIVES=" + disc.cue.string(), "TESSLOW_MUSICBRAINZ_URL=" + server.Url(),
                           "TESSLOW_ACCURATERIP_URL=http://127.0.0.1:9", "no_proxy=127.0.0.1"});
    }
    // The files a WAV rip leaves, by name.
    std::vector<std::string> Rip(std::vector<std::string> args) const
    {
        fs::remove_all(dir / "out");
        args.insert(args.end(), {"--format", "wav", "--output", (dir / "out").string(), "--template", "%3 - %5 %2"});
        const auto rip = Run(args);
        EXPECT_EQ(rip.exitCode, 0) << rip.out << rip.err;
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "out"))
            if (entry.path().extension() == ".wav") names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The first string value of `name` in the JSON (none of the tested ones holds a quote).
    static std::string Field(const std::string& json, const std::string& name)
    {
        const std::string key = "\"" + name + "\": \"";
        const std::size_t at = json.find(key);
        if (at == std::string::npos) return "<none>";
        const std::size_t from = at + key.size();
        return json.substr(from, json.find('"', from) - from);
    }

    test::UserSandbox sandbox;
    test::TempDir dir, serverRoot;
    test::HttpFixtureServer server{serverRoot.Path()};
    test::WrittenDisc disc;
    std::string discId;
};

TEST_F(ReleaseChoice, TheReleasesAreListedAndTheChosenOneNamesTheRipAndIsKept)
{
    const auto info = Run({"--info", "--json"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const std::size_t list = info.out.find("\"releases\": [");
    ASSERT_NE(list, std::string::npos) << info.out;
    EXPECT_EQ(info.out.substr(list),
              "\"releases\": [{\"id\": \"6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01\", \"title\": \"Ça & <Ça>: “Songs”\", "
              "\"artist\": \"Various Artists\", \"date\": \"1999-05-03\", \"country\": \"XE\", \"label\": \"Disques & "
              "Co\", \"catalog_number\": \"ÇA 001\", \"barcode\": \"0123456789012\", \"disc\": 1, \"discs\": 1, "
              "\"tracks\": 4, \"used\": true}, {\"id\": \"6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d02\", \"title\": \"The "
              "same songs, again\", \"artist\": \"\", \"date\": \"2005\", \"country\": \"\", \"label\": \"\", "
              "\"catalog_number\": \"\", \"barcode\": \"\", \"disc\": 1, \"discs\": 1, \"tracks\": 4, \"used\": "
              "false}, {\"id\": \"6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d06\", \"title\": \"Songs (Remastered)\", "
              "\"artist\": \"Various Artists\", \"date\": \"2010-11-22\", \"country\": \"GB\", \"label\": \"Reissue "
              "Records\", \"catalog_number\": \"REM 10\", \"barcode\": \"5012345678900\", \"disc\": 1, \"discs\": 1, "
              "\"tracks\": 4, \"used\": false}]}\n");
    const auto text = Run({"--info"});
    EXPECT_NE(text.out.find("3 releases match this disc; using 1 (Ça & <Ça>: “Songs”, XE, 1999-05-03, Disques & "
                            "Co). Choose another with --release.\n"),
              std::string::npos)
        << text.out;

    // --release by number, then by id; each choice is kept for the next run.
    const std::vector<std::string> remaster = {
        "Songs (Remastered) - 01 Björk _ Jóga (Remastered).wav",
        "Songs (Remastered) - 02 Tom & Jerry _ It's __Cheese__ & 'Crackers'.wav",
        "Songs (Remastered) - 03 Quiet & _Still_.wav", "Songs (Remastered) - 04 Ludwig van Beethoven _ 日本語のタイトル.wav"};
    EXPECT_EQ(Rip({"--release", "3"}), remaster);
    EXPECT_EQ(Field(Run({"--info", "--json"}).out, "release"), kRemaster);
    EXPECT_EQ(Rip({}), remaster);
    EXPECT_EQ(Rip({"--release", kFirst})[0], "Ça & _Ça__ “Songs” - 01 Björk _ Jóga.wav");
    EXPECT_EQ(Field(Run({"--info", "--json"}).out, "release"), kFirst);
    // A release the disc id does not match leaves the names as they were, and says so.
    const auto unknown = Run({"--info", "--release", "7"});
    EXPECT_NE(unknown.out.find("Titles from: cache — no such release matches this disc"), std::string::npos)
        << unknown.out;
}

TEST_F(ReleaseChoice, NamesGivenOnTheCommandLineAreKeptAsThePersonsOwn)
{
    EXPECT_EQ(Rip({"--album", "My Mix", "--date", "2024", "--title", "2=Second", "--title", "3="}),
              (std::vector<std::string>{"My Mix - 01 Björk _ Jóga.wav", "My Mix - 02 Tom & Jerry _ Second.wav",
                                        "My Mix - 03 Track 03.wav",
                                        "My Mix - 04 Ludwig van Beethoven _ 日本語のタイトル.wav"}));
    // Later runs, with a release chosen or not, name the disc as the person did.
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--release", "3"}}) {
        const auto info = Run([&] {
            std::vector<std::string> all = {"--info", "--json"};
            all.insert(all.end(), args.begin(), args.end());
            return all;
        }());
        EXPECT_EQ(Field(info.out, "titles_from"), "user");
        EXPECT_EQ(Field(info.out, "album"), "My Mix");
        EXPECT_EQ(Field(info.out, "year"), "2024");
    }
    // A disc the service does not know can be named by hand too.
    fs::remove_all(serverRoot.Path() / "ws");
    fs::remove(sandbox.DataHome() / "Corvalen" / "CDDBCache.xml");
    EXPECT_EQ(Rip({"--artist", "Me", "--album", "Home", "--title", "1=One"}),
              (std::vector<std::string>{"Home - 01 One.wav", "Home - 02 Track 02.wav", "Home - 03 Track 03.wav",
                                        "Home - 04 Track 04.wav"}));
}

}  // namespace
}  // namespace tesslow
