#include "codec_judges.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Entries = std::vector<std::string>;

// Ogg Vorbis and FLAC files carry the same comments by the same rules.
class VorbisCommentsTest : public ::testing::TestWithParam<FormatCode> {
protected:
    VorbisTags Encode(const AlbumInfo& tags, std::uint32_t trackIndex)
    {
        const fs::path path = dir / ("t" + std::to_string(++count) + (GetParam() == FormatCode::Ogg ? ".ogg" : ".flac"));
        auto encoder = MakeEncoder(GetParam(), path, tags, trackIndex);
        EncodeWhole(*encoder, pcm);
        encoder.reset();
        last = path;
        return ReadVorbisTags(path);
    }

    TempDir dir;
    fs::path last;
    int count = 0;
    const std::string pcm = MusicPcm(4410);
};

AlbumInfo FullAlbum()
{
    AlbumInfo tags;
    tags.artist = "Mörk Ensemble";
    tags.album = "東京 Nights";
    tags.year = "1987";
    tags.genre = "Ambient";
    tags.comment = "Remastered = louder";
    tags.trackTitles = {"Intro", "Crème brûlée", "Outro"};
    tags.source = "never written";
    return tags;
}

TEST_P(VorbisCommentsTest, EveryFieldIsWrittenInItsOrderAndReadsBackAsWritten)
{
    const VorbisTags tags = Encode(FullAlbum(), 1);
    ASSERT_TRUE(tags.present);
    EXPECT_FALSE(tags.vendor.empty());
    EXPECT_EQ(tags.entries, (Entries{"TITLE=Crème brûlée", "ARTIST=Mörk Ensemble", "ALBUM=東京 Nights", "TRACKNUMBER=2",
                                     "TRACKTOTAL=3", "TOTALTRACKS=3", "DATE=1987", "GENRE=Ambient",
                                     "COMMENT=Remastered = louder"}));
    const ProgramResult probe =
        Judge({"ffprobe", "-v", "error", "-show_entries", "format_tags=title,album,track:stream_tags=title,album,track",
               "-of", "default=noprint_wrappers=1", last.string()});
    EXPECT_NE(probe.out.find("TAG:TITLE=Crème brûlée"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("TAG:ALBUM=東京 Nights"), std::string::npos) << probe.out;
}

TEST_P(VorbisCommentsTest, EmptyValuesAreLeftOutButTheTrackNumberIsAlwaysThere)
{
    AlbumInfo tags;
    tags.artist = "Solo";
    tags.trackTitles = {"First", ""};
    EXPECT_EQ(Encode(tags, 1).entries, (Entries{"ARTIST=Solo", "TRACKNUMBER=2", "TRACKTOTAL=2", "TOTALTRACKS=2"}));
    tags.artist.clear();
    tags.trackTitles = {"", "", "", "", "", "", "", "", "", "", "", "Twelfth"};
    EXPECT_EQ(Encode(tags, 11).entries, (Entries{"TITLE=Twelfth", "TRACKNUMBER=12", "TRACKTOTAL=12", "TOTALTRACKS=12"}));
    // Beyond the list, the list's length is no total.
    EXPECT_EQ(Encode(tags, 12).entries, (Entries{"TRACKNUMBER=13"}));
}

TEST_P(VorbisCommentsTest, ADiscWithoutTitlesGetsNoFieldAtAll)
{
    AlbumInfo tags = FullAlbum();
    tags.trackTitles.clear();
    const VorbisTags read = Encode(tags, 0);
    // FLAC keeps its comment block, empty; Ogg Vorbis keeps the vendor string.
    ASSERT_TRUE(read.present);
    EXPECT_FALSE(read.vendor.empty());
    EXPECT_TRUE(read.entries.empty());
    if (GetParam() == FormatCode::Flac) {
        const ProgramResult list = Judge({"metaflac", "--list", "--block-type=VORBIS_COMMENT", last.string()});
        EXPECT_NE(list.out.find("comments: 0"), std::string::npos) << list.out;
    } else {
        EXPECT_EQ(ReadFile(last).find("Mörk"), std::string::npos);
    }
}

TEST_P(VorbisCommentsTest, BrokenUtf8IsRepairedAndAValueEndsAtAZeroByte)
{
    AlbumInfo tags;
    tags.artist = std::string("Bad\xff\xfe" "Bytes");
    tags.album = std::string("Cut\0off", 7);
    tags.trackTitles = {"x"};
    EXPECT_EQ(Encode(tags, 0).entries,
              (Entries{"TITLE=x", "ARTIST=Bad\xef\xbf\xbd\xef\xbf\xbd" "Bytes", "ALBUM=Cut", "TRACKNUMBER=1",
                       "TRACKTOTAL=1", "TOTALTRACKS=1"}));
}

INSTANTIATE_TEST_SUITE_P(OggAndFlac, VorbisCommentsTest, ::testing::Values(FormatCode::Ogg, FormatCode::Flac),
                         [](const auto& info) { return info.param == FormatCode::Ogg ? "Ogg" : "Flac"; });

}  // namespace
}  // namespace tesslow
