#include "ripper/cover_art_fetch.h"

#include "support/command.h"
#include "support/http_fixture_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRelease = "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01";

// Which picture a rip takes when several are on offer: the one given for the
// rip, then the person's choice kept with the disc (a picture, or none),
// then the release's, from the cache once it has been fetched.
TEST(CoverArtFetch, ThePersonsChoiceComesFirstAndTheArchiveIsAskedOnce)
{
    test::TempDir dir, serverRoot;
    test::HttpFixtureServer server(serverRoot.Path());
    const fs::path jpeg = dir / "a.jpg", png = dir / "b.png";
    for (const auto& [file, size] : {std::pair{jpeg, "32x16"}, std::pair{png, "8x8"}})
        ASSERT_EQ(test::RunCommand("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", std::string("testsrc=s=") + size,
                                              "-frames:v", "1", file.string()})
                      .exitCode,
                  0);
    test::WriteFile(serverRoot / "release" / kRelease / "front-250.xml", test::ReadFile(jpeg));

    const auto fetch = [&](auto adjust) {
        CoverWish wish;
        wish.releaseId = kRelease;
        wish.size = 250;
        wish.baseUrl = server.Url();
        wish.cacheFolder = (dir / "cache").string();
        adjust(wish);
        CoverArtFetch found(wish);
        return found.Outcome();
    };
    const struct {
        const char* name;
        std::function<void(CoverWish&)> adjust;
        CoverOutcome::Source source;
        std::string where;
        int width;
    } cases[] = {
        {"the rip's own", [&](CoverWish& w) { w.file = png.string(), w.noCover = true, w.chosenFile = jpeg.string(); },
         CoverOutcome::Source::File, png.string(), 8},
        {"removed", [&](CoverWish& w) { w.noCover = true; }, CoverOutcome::Source::None, "", 0},
        {"chosen", [&](CoverWish& w) { w.chosenFile = png.string(); }, CoverOutcome::Source::File, png.string(), 8},
        {"fetched", [](CoverWish&) {}, CoverOutcome::Source::Archive,
         server.Url() + "/release/" + kRelease + "/front-250", 32},
        {"cached", [](CoverWish&) {}, CoverOutcome::Source::Cache, server.Url() + "/release/" + kRelease + "/front-250",
         32},
        {"no release", [](CoverWish& w) { w.releaseId.clear(); }, CoverOutcome::Source::None, "", 0},
        {"a chosen file gone", [&](CoverWish& w) { w.chosenFile = (dir / "gone.png").string(); },
         CoverOutcome::Source::None, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CoverOutcome outcome = fetch(c.adjust);
        EXPECT_EQ(outcome.source, c.source) << outcome.text;
        EXPECT_EQ(outcome.where, c.where);
        EXPECT_EQ(outcome.width, c.width);
        EXPECT_EQ(outcome.problem.empty(), c.source != CoverOutcome::Source::None) << outcome.text;
    }
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(fetch([&](CoverWish& w) { w.chosenFile = (dir / "gone.png").string(); }).text,
              "Cover art: none (the chosen picture " + (dir / "gone.png").string() +
                  " could not be used: No such file or directory)");
}

// A picture that does not come within the look-up's time is none, and the
// wait for it ends then, not when the server gives up.
TEST(CoverArtFetch, AnArchiveThatNeverAnswersCostsNoMoreThanTheLimit)
{
    test::TempDir dir, serverRoot;
    test::HttpFixtureServer server(serverRoot.Path());
    test::WriteFile(serverRoot / "release" / kRelease / "front-500.xml", "");
    test::WriteFile(serverRoot / "release" / kRelease / "front-500.xml.hang", "");
    CoverWish wish;
    wish.releaseId = kRelease;
    wish.baseUrl = server.Url();
    wish.cacheFolder = (dir / "cache").string();
    wish.limit = std::chrono::milliseconds(300);
    CoverArtFetch fetch(wish);
    EXPECT_EQ(fetch.Picture(), nullptr);
    const CoverOutcome outcome = fetch.Outcome();
    EXPECT_EQ(outcome.source, CoverOutcome::Source::None);
    EXPECT_FALSE(outcome.problem.empty());
}

}  // namespace
}  // namespace tesslow
