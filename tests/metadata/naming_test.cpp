#include "metadata/naming.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

DiscRecord Disc(AlbumInfo album, std::vector<std::uint8_t> numbers = {1, 2, 3, 4, 5, 6, 7})
{
    DiscRecord disc;
    disc.trackNumbers = std::move(numbers);
    disc.album = std::move(album);
    return disc;
}

AlbumInfo Album(std::string artist, std::string album, std::string year, std::vector<std::string> titles)
{
    AlbumInfo info;
    info.artist = std::move(artist);
    info.album = std::move(album);
    info.year = std::move(year);
    info.trackTitles = std::move(titles);
    return info;
}

TEST(ExpandNameTemplate, PlaceholdersAndTheirFallbacks)
{
    const DiscRecord disc = Disc(Album("Ann", "Days", "1999", {"One", "Two", "Home", "", "", "", ""}));
    EXPECT_EQ(ExpandNameTemplate(disc, 2, "%1 - [%5] %2"), "Ann - [03] Home");
    EXPECT_EQ(ExpandNameTemplate(disc, 6, "%2"), "Track 07");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%4 %3"), "1999 Days");

    const DiscRecord empty = Disc(Album("", "", "", {"x"}));
    EXPECT_EQ(ExpandNameTemplate(empty, 0, "%1|%3|%4|"), "Unknown artist_Unknown album__");
    EXPECT_EQ(ExpandNameTemplate(empty, 0, "%4"), "");
    EXPECT_EQ(ExpandNameTemplate(empty, 0, ""), "");
}

TEST(ExpandNameTemplate, TheTrackNumberIsTheCdNumberAndUntitledTracksIgnoreTheTemplate)
{
    // Audio tracks 2..4 of a disc whose track 1 is data.
    const DiscRecord disc = Disc(Album("Ann", "Days", "", {"A", "B"}), {2, 3, 4});
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%5 %2"), "02 A");
    EXPECT_EQ(ExpandNameTemplate(disc, 2, "%1 - %5 %2"), "Track 04");
    const DiscRecord untitled = Disc(Album("Ann", "Days", "", {}));
    EXPECT_EQ(ExpandNameTemplate(untitled, 0, "\\%3"), "Track 01");
}

TEST(ExpandNameTemplate, PercentSequencesThatAreNotPlaceholdersAreCopied)
{
    const DiscRecord disc = Disc(Album("Ann", "", "", {"t"}));
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%7 %% %%1 %"), "%7 %% %%1 %");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%5 %%1 x%"), "01 %%1 x%");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%%%1"), "%%Ann");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "100%"), "100%");
}

TEST(ExpandNameTemplate, ForbiddenCharactersDotsAndSubfolders)
{
    const DiscRecord disc = Disc(Album("AC/DC", "Greatest Hits Vol.", "", {"Vol.", "What? <Yes>*|\"", "a\\b"}));
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%1"), "AC_DC");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%2"), "Vol");
    EXPECT_EQ(ExpandNameTemplate(disc, 1, "%2"), "What_ _Yes____");
    EXPECT_EQ(ExpandNameTemplate(disc, 2, "%2"), "a/b");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "\\%3"), "/Greatest Hits Vol");
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%3\\%2"), "Greatest Hits Vol/Vol");
}

TEST(ExpandNameTemplate, HostileMetadataCannotClimbOutOfTheOutputFolder)
{
    const DiscRecord disc = Disc(Album("..", "..\\..\\etc", "", {"..\\..\\..\\passwd", ".", "x\x01y\x7f\nz", "../up"}));
    for (std::uint32_t t = 0; t < 4; ++t) {
        for (const char* pattern : {"%2", "%1\\%2", "%3\\%2", "\\%1\\%3\\%2"}) {
            const std::string name = ExpandNameTemplate(disc, t, pattern);
            std::size_t start = 0;
            for (;;) {
                const std::size_t end = name.find('/', start);
                const std::string component = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
                EXPECT_NE(component, "..") << pattern << " " << t << " -> " << name;
                EXPECT_NE(component, ".") << pattern << " " << t << " -> " << name;
                if (end == std::string::npos) break;
                start = end + 1;
            }
            for (char c : name) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
        }
    }
    EXPECT_EQ(ExpandNameTemplate(disc, 2, "%2"), "x_y__z");
    EXPECT_EQ(ExpandNameTemplate(disc, 3, "%2"), ".._up");  // a plain name, not a way up
}

TEST(ExpandNameTemplate, BrokenUtf8InMetadataIsReplacedNotPassedOn)
{
    const DiscRecord disc = Disc(Album("Bj\xC3\xB6rk", "", "", {"bad \xFF byte"}));
    EXPECT_EQ(ExpandNameTemplate(disc, 0, "%1 %2"), "Bj\xC3\xB6rk bad \xEF\xBF\xBD byte");
}

TEST(ComposeOutputFolder, ArtistAndAlbumSubfoldersForTheFirstTrack)
{
    const DiscRecord disc = Disc(Album("A\\B", "Greatest Hits Vol.", "1987", {"t"}));
    EXPECT_EQ(ComposeOutputFolder("/music", {true, true, true}, disc), "/music/A/B/1987 Greatest Hits Vol");
    EXPECT_EQ(ComposeOutputFolder("/music", {false, true, false}, disc), "/music/Greatest Hits Vol");
    const DiscRecord noYear = Disc(Album("Ann", "Days", "", {"t"}));
    EXPECT_EQ(ComposeOutputFolder("/music", {false, true, true}, noYear), "/music/Days");
    EXPECT_EQ(ComposeOutputFolder("/music", {}, noYear), "/music");

    // Without titles the file names are "Track NN", the folders are not.
    EXPECT_EQ(ComposeOutputFolder("/music/", {true, true, false}, Disc(Album("", "", "", {}))),
              "/music/Unknown artist/Unknown album");
    EXPECT_EQ(ComposeOutputFolder("/music", {true, true, true}, Disc(Album("Ann", "Days", "1999", {}))),
              "/music/Ann/1999 Days");

    // A name too long for the file system is cut at a character, folder by folder.
    std::string huge;
    for (int i = 0; i < 5000; ++i) huge += "\xC3\xA9";  // 10 KB of é
    const std::string folder = ComposeOutputFolder("/m", {true, true, false}, Disc(Album(huge + "\\" + huge, huge, "", {})));
    EXPECT_EQ(folder, "/m/" + huge.substr(0, 254) + "/" + huge.substr(0, 254) + "/" + huge.substr(0, 254));
}

TEST(OutputFilePath, LongComponentsAreShortenedAtACharacterKeepingTheExtension)
{
    EXPECT_EQ(OutputFilePath("/music/", "Ann - [03] Home", ".wav"), "/music/Ann - [03] Home.wav");
    EXPECT_EQ(OutputFilePath("/music", "sub//name", ".flac"), "/music/sub/name.flac");

    std::string longTitle;
    for (int i = 0; i < 200; ++i) longTitle += "\xC3\xA9";  // 400 bytes of é
    const std::string path = OutputFilePath("/m", longTitle + "/" + longTitle, ".flac");
    const std::string folder = path.substr(3, path.find('/', 3) - 3);
    const std::string file = path.substr(path.rfind('/') + 1);
    EXPECT_EQ(folder.size(), 254u);  // 255 would split a character
    EXPECT_LE(file.size(), 255u);
    EXPECT_EQ(file.substr(file.size() - 5), ".flac");
    EXPECT_EQ(file.size(), 250u + 5u);
}

TEST(ExpandNameTemplate, ANameTooLongIsCutInThePlaceholdersTextsLongestFirstKeepingTheTrackNumberAndExtension)
{
    auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) out += text;
        return out;
    };
    const std::string cjk = repeat("\xE9\x9F\xB3", 90);  // 270 bytes
    const struct {
        const char* name;
        AlbumInfo album;
        const char* pattern;
        std::size_t extension;
        std::string expected;
    } cases[] = {
        {"a short name stays whole", Album("Ann", "Days", "", {"Home"}), "%1 - [%5] %2", 5, "Ann - [01] Home"},
        {"a long artist is cut, the title and number stay", Album(cjk, "", "", {"Home"}), "%1 - [%5] %2", 5,
         repeat("\xE9\x9F\xB3", 79) + " - [01] Home"},
        {"two long texts are cut to the same length", Album(repeat("a", 300), "", "", {repeat("b", 300)}),
         "%1 %5 %2", 5, repeat("a", 123) + " 01 " + repeat("b", 123)},
        {"each folder is fitted on its own", Album(repeat("a", 300), "", "", {"t"}), "%1\\%5 %1", 4,
         repeat("a", 255) + "/01 " + repeat("a", 248)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = ExpandNameTemplate(Disc(c.album), 0, c.pattern, c.extension);
        EXPECT_EQ(name, c.expected);
        EXPECT_LE(name.substr(name.rfind('/') + 1).size() + c.extension, 255u);
    }
    // A template of nothing but its own text, far too long: cut, track number kept.
    EXPECT_EQ(ExpandNameTemplate(Disc(Album("", "", "", {"t"})), 0, repeat("x", 400) + " %5", 5), repeat("x", 248) + "01");
}

}  // namespace
}  // namespace tesslow
