#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

// tesslow-rip naming a disc that the title cache knows.
TEST(NamingCommand, ADiscInTheCacheIsNamedWithoutTheWebServiceAndItsFilesCarryTheTitles)
{
    test::UserSandbox sandbox;
    test::TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{.sectors = 100}, {.sectors = 100}}});
    DiscRecords records;
    ReadToc(records, disc.cue.string());
    const std::string discId = DiscIdFromRawToc(records[disc.cue.string()].rawToc);

    AlbumInfo album;
    album.artist = "AC/DC";
    album.album = "Live & Loud";
    album.year = "1992";
    album.trackTitles = {"Thunder", "Vol."};
    album.source = "release-1";
    TitleCache cache(sandbox.DataHome() / "Corvalen" / "CDDBCache.xml");
    cache.Store(discId, album);
    ASSERT_TRUE(cache.Write());

    // A web service that cannot be reached: the cache must be enough.
    const std::vector<std::string> env = {"TESSLOW_DRIVES=" + disc.cue.string(),
                                          "TESSLOW_MUSICBRAINZ_URL=http://127.0.0.1:9"};
    const auto info = RunProgram("tesslow-rip", {"--info", "--json"}, env);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("\"discid\": \"" + discId + "\", \"titles_from\": \"cache\", \"release\": \"release-1\", "
                            "\"artist\": \"AC/DC\", \"album\": \"Live & Loud\", \"year\": \"1992\", "
                            "\"titles\": [\"Thunder\", \"Vol.\"]"),
              std::string::npos)
        << info.out;

    const auto rip = RunProgram("tesslow-rip", {"--format", "wav", "--output", (dir / "out").string(), "--template",
                                                "%1 - %5 %2", "--artist-folder"},
                                env);
    ASSERT_EQ(rip.exitCode, 0) << rip.err << rip.out;
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "AC_DC" / "AC_DC - 01 Thunder.wav"));
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "AC_DC" / "AC_DC - 02 Vol.wav"));
}

}  // namespace
}  // namespace tesslow
