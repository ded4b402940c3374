// tesslow-rip's front covers: fetched from a Cover Art Archive of the test's
// own (a server on 127.0.0.1) for a disc named from a MusicBrainz release, or
// given with --cover; embedded in every tagged format and read back by
// mutagen and FFmpeg, put beside the files, and said in the log and --json.
#include "app/disc_record.h"
#include "app/settings.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "support/command.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"
#include "support/ws2_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCommand;
using test::RunProgram;

constexpr const char* kRelease = "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01";

// The SHA-256 of a file, as sha256sum gives it.
std::string Sha256(const fs::path& file)
{
    const auto sum = RunCommand("sha256sum", {file.string()});
    return sum.out.substr(0, 64);
}

// A real picture made by FFmpeg from a test pattern.
std::string MakePicture(const fs::path& path, const std::string& pattern)
{
    const auto made = RunCommand("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", pattern, "-frames:v", "1",
                                            path.string()});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return ReadFile(path);
}

class CoverArt : public ::testing::Test {
protected:
    void SetUp() override
    {
        disc = test::WriteTestDisc(dir.Path(), {.tracks = std::vector<test::TestTrack>(4, test::TestTrack{.sectors = 75})});
        DiscRecords records;
        ReadToc(records, disc.cue.string());
        test::WriteCompilationAnswers(serverRoot.Path(), DiscIdFromRawToc(records[disc.cue.string()].rawToc), {kRelease});
        jpeg = MakePicture(dir / "served.jpg", "testsrc=s=64x48");
        // Noise makes it larger than an ASF descriptor holds (64 KB).
        png = MakePicture(dir / "mine.png", "testsrc2=s=320x240,noise=alls=40:allf=t");
        ASSERT_GT(png.size(), 65535u);
    }

    fs::path Served(const std::string& name) const { return serverRoot / "release" / kRelease / (name + ".xml"); }

    test::ProgramResult Rip(const std::string& format, std::vector<std::string> extra = {}) const
    {
        std::vector<std::string> args = {"--format", format, "--tracks", "1", "--output", (dir / format).string(),
                                         "--template", "%5", "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProgram("tesslow-rip", args,
                          {"TESSLOW_DRIVES=" + disc.cue.string(), "TESSLOW_MUSICBRAINZ_URL=" + server.Url(),
                           "TESSLOW_COVERART_URL=" + server.Url(), "no_proxy=127.0.0.1"});
    }

    // "type MIME bytes sha256" for each picture mutagen finds.
    static std::string Embedded(const fs::path& file)
    {
        const auto read = RunCommand("/usr/bin/python3",
                                     {std::string(TESSLOW_SOURCE_DIR) + "/tests/support/embedded_cover.py", file.string()});
        EXPECT_EQ(read.exitCode, 0) << read.err;
        return read.out;
    }

    static std::string Log(const fs::path& folder)
    {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".log") return ReadFile(entry.path());
        return "<no log>";
    }

    test::UserSandbox sandbox;
    test::TempDir dir, serverRoot;
    test::HttpFixtureServer server{serverRoot.Path()};
    test::WrittenDisc disc;
    std::string jpeg, png;
};

// Where the picture comes from, what is embedded, and what the log says.
TEST_F(CoverArt, EveryTaggedFormatCarriesTheCoverOrTheRipSaysWhyNot)
{
    const struct Case {
        const char* name;
        std::function<void()> serve;  // sets up the archive
        bool useOwn;                           // --cover with the PNG
        std::vector<std::string> formats;
        const char* mime;                      // of the embedded picture; null: none
        const char* logLine;                   // in the log's "Cover art:" line
    } cases[] = {
        {"a 307 to the image",
         [this] {
             test::WriteFile(Served("front-500").string() + ".redirect", "/images/front.jpg");
             test::WriteFile(serverRoot / "images" / "front.jpg.xml", jpeg);
         },
         false, {"flac", "ogg", "mp3", "ape", "wma"}, "image/jpeg",
         "/release/6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01/front-500"},
        {"a picture of the person's own", [] {}, true, {"flac", "ogg", "mp3", "ape", "wma"}, "image/png",
         "mine.png (320x240 PNG, "},
        {"no cover in the archive", [] {}, false, {"flac"}, nullptr,
         "none (the Cover Art Archive has no front cover for this release)"},
        {"an archive too busy",
         [this] {
             test::WriteFile(Served("front-500"), jpeg);
             test::WriteFile(Served("front-500").string() + ".busy", "99 -");
         },
         false, {"mp3"}, nullptr, "none (the Cover Art Archive answered HTTP 503)"},
        {"a web page instead of an image",
         [this] { test::WriteFile(Served("front-500"), "<!DOCTYPE html><html><body>Oops</body></html>"); },
         false, {"ogg"}, nullptr, "none (the Cover Art Archive's answer is a web page, not an image)"},
        {"an image of 40 MB",
         [this] {
             test::WriteFile(Served("front-500"), "");
             test::WriteFile(Served("front-500").string() + ".stream", std::to_string(40 << 20));
         },
         false, {"flac"}, nullptr, "larger than 16777216 bytes)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(serverRoot / "release");
        fs::remove_all(sandbox.Home());  // no cover cache from the case before
        fs::create_directories(sandbox.Home());
        c.serve();
        for (const std::string& format : c.formats) {
            SCOPED_TRACE(format);
            fs::remove_all(dir / format);
            const auto rip = Rip(format, c.useOwn ? std::vector<std::string>{"--cover", (dir / "mine.png").string()}
                                                  : std::vector<std::string>{});
            ASSERT_EQ(rip.exitCode, 0) << rip.out << rip.err;
            const fs::path file = dir / format / ("01." + format);
            const std::string image = c.useOwn ? png : jpeg;
            const std::string beside = c.useOwn ? "cover.png" : "cover.jpg";
            EXPECT_NE(Log(dir / format).find(c.logLine), std::string::npos) << Log(dir / format);
            if (!c.mime) {
                EXPECT_EQ(Embedded(file), "");
                EXPECT_FALSE(fs::exists(dir / format / "cover.jpg"));
                EXPECT_NE(rip.out.find("\"cover\": null"), std::string::npos) << rip.out;
                continue;
            }
            const std::string mime = format == "ape" ? "-" : c.mime;
            const std::string summary =
                (c.useOwn ? "320x240 PNG, " : "64x48 JPEG, ") + std::to_string(image.size()) + " bytes)";
            EXPECT_NE(Log(dir / format).find(summary), std::string::npos) << Log(dir / format);
            const fs::path original = dir / (c.useOwn ? "mine.png" : "served.jpg");
            EXPECT_EQ(Embedded(file), "3 " + mime + " " + std::to_string(image.size()) + " " + Sha256(original) + "\n");
            EXPECT_EQ(ReadFile(dir / format / beside), image);
            const std::string size = c.useOwn ? "\"width\": 320, \"height\": 240" : "\"width\": 64, \"height\": 48";
            EXPECT_NE(rip.out.find("\"mime\": \"" + std::string(c.mime) + "\", " + size +
                                   ", \"bytes\": " + std::to_string(image.size())),
                      std::string::npos)
                << rip.out;
            // FFmpeg sees it as the file's attached picture, but for a WMA
            // picture too large for the content descriptors: FFmpeg's ASF
            // reader passes over the metadata library that holds it.
            if (format != "wma" || image.size() <= 65535) {
                const auto probe = RunCommand("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries",
                                                          "stream=codec_name,width,height:stream_disposition=attached_pic",
                                                          "-of", "compact=p=0:nk=1", file.string()});
                EXPECT_EQ(probe.out, c.useOwn ? "png|320|240|1\n" : "mjpeg|64|48|1\n") << probe.err;
            }
        }
    }
}

TEST_F(CoverArt, TheArchiveIsAskedOnceAndACoverAlreadyBesideTheFilesIsKept)
{
    // A larger size asked for, and a different picture of the person's there already.
    test::WriteFile(Served("front-1200"), jpeg);
    ASSERT_TRUE(Settings().WriteNumber("CoverArtSize", 1200));
    fs::create_directories(dir / "flac");
    test::WriteFile(dir / "flac" / "cover.jpg", "mine");
    const auto first = Rip("flac", {});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(ReadFile(dir / "flac" / "cover.jpg"), "mine");
    EXPECT_NE(first.out.find("cover.jpg: a different picture of that name is already there; it was kept"),
              std::string::npos)
        << first.out;
    const auto second = Rip("flac", {"--overwrite"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(ReadFile(dir / "flac" / "cover.jpg"), jpeg);
    EXPECT_NE(second.out.find("\"source\": \"cache\""), std::string::npos) << second.out;
    EXPECT_EQ(server.Requests().size(), 3u) << "the disc id, the release, one cover";
}

TEST_F(CoverArt, AFileThatIsNoPictureIsRefusedBeforeTheRip)
{
    test::WriteFile(dir / "notes.txt", "not a picture");
    for (const auto& [file, why] : {std::pair{dir / "notes.txt", "not a JPEG or PNG image"},
                                    std::pair{dir / "missing.jpg", "No such file or directory"}}) {
        const auto rip = Rip("flac", {"--cover", file.string()});
        EXPECT_EQ(rip.exitCode, 2);
        EXPECT_EQ(rip.err, "tesslow-rip: the cover " + file.string() + " cannot be used (" + why + ")\n");
        EXPECT_FALSE(fs::exists(dir / "flac"));
    }
}

}  // namespace
}  // namespace tesslow
