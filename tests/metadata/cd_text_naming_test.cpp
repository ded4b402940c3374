#include "metadata/cd_text_naming.h"

#include "disc_fixture.h"
#include "metadata/title_cache.h"
#include "metadata/title_lookup.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

// Three audio tracks numbered 1..3, with CD-Text in English (block 0) and
// German (block 1); track 2 has its own performer, track 3 no title.
DiscRecord DiscWithCdText()
{
    DiscRecord record = test::MakeDiscRecord(test::EvenTracks(3, 15000), 45000);
    CdTextBlock english{0, cd_text_language::kEnglish, 0x00, {"Black Coffee", "The Band", ""},
                        {{"Opening", "The Band", ""}, {"Guest Song", "A Guest", ""}, {"", "", ""}}};
    CdTextBlock german{1, cd_text_language::kGerman, 0x00, {"Schwarzer Kaffee", "Die Band", ""},
                       {{"Er\u00F6ffnung", "", ""}}};
    record.cdText = CdText{{english, german}};
    return record;
}

TEST(NameFromCdText, TheChosenBlockGivesArtistAlbumTitlesAndDifferingTrackArtists)
{
    const struct {
        std::optional<std::uint8_t> language;
        AlbumInfo expected;
    } cases[] = {
        {cd_text_language::kEnglish,
         {.artist = "The Band",
          .album = "Black Coffee",
          .trackTitles = {"Opening", "Guest Song", ""},
          .credits = {{.title = "Opening"}, {.title = "Guest Song", .artist = "A Guest"}, {}}}},
        // Track 1's performer is missing, which differs from the disc's.
        {cd_text_language::kGerman,
         {.artist = "Die Band",
          .album = "Schwarzer Kaffee",
          .trackTitles = {"Er\u00F6ffnung", "", ""},
          .credits = {{.title = "Er\u00F6ffnung"}, {}, {}}}},
    };
    for (const auto& c : cases) {
        DiscRecord record = DiscWithCdText();
        ASSERT_TRUE(NameFromCdText(record, c.language));
        EXPECT_EQ(record.album, c.expected);
    }
}

TEST(NameFromCdText, CdTextWithoutTitlesOrNoneAtAllLeavesTheDiscUnnamed)
{
    DiscRecord performersOnly = DiscWithCdText();
    performersOnly.cdText->blocks = {{0, cd_text_language::kEnglish, 0x00, {"", "The Band", ""}, {{"", "The Band", ""}}}};
    performersOnly.album.comment = "kept";
    EXPECT_FALSE(NameFromCdText(performersOnly, std::nullopt));
    EXPECT_EQ(performersOnly.album.comment, "kept");

    DiscRecord none = test::MakeDiscRecord(test::EvenTracks(3, 15000), 45000);
    EXPECT_FALSE(NameFromCdText(none, std::nullopt));
}

TEST(TitleLookupWithCdText, AnUncachedDiscIsNamedFromCdTextWhichIsNeverCached)
{
    test::UserSandbox sandbox;
    test::ScopedEnv language("LANGUAGE", "de_DE");
    TitleCache cache;
    TitleLookup lookup(cache, nullptr, nullptr);
    DiscRecord record = DiscWithCdText();

    const TitleLookupResult result = lookup.NameDisc(record);

    EXPECT_EQ(result.titlesFrom, TitlesFrom::CdText);
    EXPECT_STREQ(TitlesFromName(result.titlesFrom), "cd-text");
    EXPECT_TRUE(result.hasTitles);
    EXPECT_EQ(record.album.album, "Schwarzer Kaffee");
    EXPECT_FALSE(cache.Find(result.discId));
    EXPECT_FALSE(std::filesystem::exists(cache.File()));
}

}  // namespace
}  // namespace tesslow
