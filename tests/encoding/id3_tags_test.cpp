#include "encoding/id3_genres.h"
#include "encoding/id3_tags.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

using namespace std::string_literals;

// A text frame as it must appear: id, synchsafe size, no flags, UTF-8 marker.
std::string Frame(const std::string& id, const std::string& text)
{
    const auto size = static_cast<std::uint32_t>(text.size() + 1);
    std::string frame = id;
    for (int shift = 21; shift >= 0; shift -= 7) frame += static_cast<char>((size >> shift) & 0x7F);
    return frame + "\0\0\x03"s + text;
}

// A comment frame as Picard writes it: UTF-8, language "eng", no description.
std::string CommentFrame(const std::string& text)
{
    return Frame("COMM", "eng"s + '\0' + text);
}

AlbumInfo FullTags()
{
    AlbumInfo tags;
    tags.artist = "Ärtist";
    tags.album = "Album";
    tags.year = "1999";
    tags.genre = "Krautrock";
    tags.comment = "A comment that is longer than twenty-eight bytes";
    tags.trackTitles = {"First", "Second"};
    tags.isrcs = {"", "GBAYE0601498"};
    return tags;
}

TEST(Id3v2Tag, FramesComeInOrderWithSynchsafeSizesAndNoPadding)
{
    const std::string frames = Frame("TIT2", "Second") + Frame("TPE1", "Ärtist") + Frame("TALB", "Album") +
                               Frame("TRCK", "2/2") + Frame("TYER", "1999") + Frame("TDRC", "1999") +
                               Frame("TCON", "Krautrock") +
                               CommentFrame("A comment that is longer than twenty-eight bytes") +
                               Frame("TSRC", "GBAYE0601498");
    // 9 × 11 bytes of frame header and encoding, 50 of text, and the comment's
    // language, empty description and 48 bytes of text: 201 = 1 × 128 + 73.
    ASSERT_EQ(frames.size(), 201u);
    EXPECT_EQ(BuildId3v2Tag(FullTags(), 1), "ID3\x04\x00\x00\x00\x00\x01\x49"s + frames);
}

TEST(Id3v2Tag, LongTextsUseSevenBitsPerSizeByte)
{
    AlbumInfo tags;
    tags.trackTitles = {std::string(200, 't')};
    const std::string tag = BuildId3v2Tag(tags, 0);
    // Frames: TIT2 of 10 + 201 bytes, TRCK "1/1" of 10 + 4 bytes: 225 = 1 × 128 + 97.
    EXPECT_EQ(tag.substr(0, 10), "ID3\x04\x00\x00\x00\x00\x01\x61"s);
    EXPECT_EQ(tag.substr(10, 10), "TIT2\x00\x00\x01\x49\x00\x00"s);  // 201 = 1 × 128 + 73
    EXPECT_EQ(tag.size(), 235u);
}

TEST(Id3v2Tag, OnlyTheTrackNumberIsAlwaysThereAndNothingWithoutTitles)
{
    AlbumInfo tags;
    tags.trackTitles = {"", "Two"};
    EXPECT_EQ(BuildId3v2Tag(tags, 0), "ID3\x04\x00\x00\x00\x00\x00\x0e"s + Frame("TRCK", "1/2"));
    // A track beyond the title list has no title of its own, and the list's length is no total.
    EXPECT_EQ(BuildId3v2Tag(tags, 11), "ID3\x04\x00\x00\x00\x00\x00\x0d"s + Frame("TRCK", "12"));

    AlbumInfo untitled = FullTags();
    untitled.trackTitles.clear();
    EXPECT_EQ(BuildId3v2Tag(untitled, 0), "");
}

TEST(Id3v2Tag, OnlyATimestampIsRecordingTimeOnlyAYearIsTyerAndTextIsCleaned)
{
    AlbumInfo tags;
    tags.trackTitles = {"Cut\0here"s};
    tags.year = "late 90s";
    tags.artist = "Bad \xff byte";
    EXPECT_EQ(BuildId3v2Tag(tags, 0).substr(10), Frame("TIT2", "Cut") + Frame("TPE1", "Bad \xEF\xBF\xBD byte") +
                                                     Frame("TRCK", "1/1") + Frame("TYER", "late 90s"));
    tags.artist.clear();
    const struct {
        const char* date;
        std::string frames;
    } dates[] = {
        {"2004", Frame("TYER", "2004") + Frame("TDRC", "2004")},
        {"2004-03", Frame("TDRC", "2004-03")},
        {"2004-03-15", Frame("TDRC", "2004-03-15")},
        {"2004-3-15", Frame("TYER", "2004-3-15")},
    };
    for (const auto& [date, frames] : dates) {
        tags.date = date;
        EXPECT_EQ(BuildId3v2Tag(tags, 0).substr(10), Frame("TIT2", "Cut") + Frame("TRCK", "1/1") + frames) << date;
    }
}

TEST(Id3v1Tag, FieldsAreLatin1CutToWidthWithTrackAndGenreNumbers)
{
    AlbumInfo tags = FullTags();
    tags.trackTitles[1] = "A title that runs past thirty characters";
    tags.album = "Ωmega";
    tags.year = "1999-05-03";
    tags.genre = "rOCK";
    std::string expected = "TAG"s;
    expected += "A title that runs past thirty";   // 29 characters
    expected += " ";                                 // the 30th
    expected += "\xC4rtist"s + std::string(24, '\0');
    expected += "?mega"s + std::string(25, '\0');
    expected += "1999";
    expected += "A comment that is longer tha";        // 28 bytes
    expected += "\x00\x02\x11"s;                       // zero, track 2, genre 17
    ASSERT_EQ(expected.size(), 128u);
    EXPECT_EQ(BuildId3v1Tag(tags, 1), expected);
}

TEST(Id3v1Tag, NoTagWithoutTitlesOrForAnEmptyTitle)
{
    AlbumInfo tags = FullTags();
    tags.trackTitles = {"", "Two"};
    EXPECT_EQ(BuildId3v1Tag(tags, 0), "");
    EXPECT_EQ(BuildId3v1Tag(tags, 1).size(), 128u);
    EXPECT_EQ(BuildId3v1Tag(tags, 2), "");  // beyond the list
    tags.trackTitles.clear();
    EXPECT_EQ(BuildId3v1Tag(tags, 0), "");
}

TEST(Id3v1Genre, NamesMatchIgnoringCaseAndAnythingElseIs255)
{
    EXPECT_EQ(kId3v1Genres.size(), 148u);
    EXPECT_EQ(Id3v1GenreNumber("rock"), 17);
    EXPECT_EQ(Id3v1GenreNumber("ROCK"), 17);
    EXPECT_EQ(Id3v1GenreNumber("Blues"), 0);
    EXPECT_EQ(Id3v1GenreNumber("hard rock"), 79);   // the last of the ID3v1 definition
    EXPECT_EQ(Id3v1GenreNumber("folk"), 80);        // the first Winamp extension
    EXPECT_EQ(Id3v1GenreNumber("SYNTHPOP"), 147);
    EXPECT_EQ(Id3v1GenreNumber("Krautrock"), 255);
    EXPECT_EQ(Id3v1GenreNumber("Rock "), 255);
    EXPECT_EQ(Id3v1GenreNumber(""), 255);
    EXPECT_EQ(Id3v1GenreNumber("Rock\xc3\xa9"), 255);
}

}  // namespace
}  // namespace tesslow
