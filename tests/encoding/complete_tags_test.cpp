// Every tagged format carries a track's complete tags under the names
// MusicBrainz Picard reads, judged by mutagen (and ffprobe for the basics):
// a plain album with every field set, a compilation track with its own artist
// credit, and a disc without titles, which gets no tags at all.

#include "codec_judges.h"
#include "encoding/track_tags.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Lines = std::vector<std::string>;

// How each layout reads back in mutagen; see kDumpScript.
enum class Layout { Id3v2, Vorbis, Ape, Asf };

struct Format {
    const char* name;
    FormatCode code;
    const char* extension;
    Layout layout;
};

const Format kFormats[] = {
    {"Flac", FormatCode::Flac, ".flac", Layout::Vorbis}, {"Ogg", FormatCode::Ogg, ".ogg", Layout::Vorbis},
    {"Mp3", FormatCode::Mp3, ".mp3", Layout::Id3v2},     {"Ape", FormatCode::Ape, ".ape", Layout::Ape},
    {"Wma", FormatCode::Wma, ".wma", Layout::Asf},
};

// Every tag of a file as mutagen reads it, one "name=value" line each, sorted.
// The ID3v2 tag alone (the ID3v1 tag behind the audio has tests of its own).
// ID3 frames by their mutagen key ("TXXX:BARCODE", "COMM::eng"), the UFID by
// its owner; a frame's or an APE item's several values joined by " | ".
constexpr const char* kDumpScript = R"(
import sys, mutagen
from mutagen.id3 import ID3, ID3NoHeaderError
path, layout = sys.argv[1], sys.argv[2]
lines = []
if layout == "id3":
    try:
        tags = ID3(path, load_v1=False)
    except ID3NoHeaderError:
        tags = {}
    for frame in tags.values():
        if frame.FrameID == "UFID":
            lines.append(frame.HashKey + "=" + frame.data.decode())
        else:
            lines.append(frame.HashKey + "=" + " | ".join(str(t) for t in frame.text))
else:
    tags = mutagen.File(path).tags or []
    for name, value in (tags.items() if layout == "ape" and tags else list(tags)):
        if layout == "asf" and name == "WM/EncodingSettings":
            continue  # where FFmpeg's muxer names itself
        lines.append(name + "=" + (" | ".join(value) if layout == "ape" else str(value)))
sys.stdout.buffer.write("".join(line + "\n" for line in sorted(lines)).encode())
)";

Lines MutagenTags(const fs::path& file, Layout layout)
{
    const char* names[] = {"id3", "vorbis", "ape", "asf"};
    const ProgramResult read =
        Judge({"/usr/bin/python3", "-c", kDumpScript, file.string(), names[static_cast<int>(layout)]});
    Lines lines;
    std::istringstream in(read.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// One field as the formats name it (tags.md), "" where a layout does not
// carry it, with its values in credit order.
struct Expected {
    const char* id3;
    const char* vorbis;
    const char* ape;
    const char* asf;
    std::vector<std::string> values;
};

// The lines mutagen shows for `fields` in `layout`: Vorbis repeats a field
// per value, ID3v2 and APEv2 hold the values in one field, ASF joins them
// with "/". ASF keeps Title and Author in the content description too.
Lines ExpectedLines(const std::vector<Expected>& fields, Layout layout)
{
    Lines lines;
    for (const Expected& field : fields) {
        const char* names[] = {field.id3, field.vorbis, field.ape, field.asf};
        const std::string name = names[static_cast<int>(layout)];
        if (name.empty()) continue;
        if (layout == Layout::Vorbis) {
            for (const std::string& value : field.values) lines.push_back(name + "=" + value);
            continue;
        }
        std::string joined;
        for (const std::string& value : field.values)
            joined += (joined.empty() ? "" : layout == Layout::Asf ? "/" : " | ") + value;
        lines.push_back(name + "=" + joined);
        if (layout == Layout::Asf && (name == "Title" || name == "Author")) lines.push_back(lines.back());
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

constexpr const char* kReleaseId = "4f1a5c3e-8b2d-4e6f-9a0b-1c2d3e4f5a6b";
constexpr const char* kGroupId = "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d";
constexpr const char* kAlbumArtistId = "7e3b2f1a-5c4d-4b6e-9f8a-0d1c2b3a4f5e";
constexpr const char* kDiscId = "lwHl8fGzJyLXQR33ug60E8jhf4k-";

AlbumInfo PlainAlbum()
{
    AlbumInfo album;
    album.artist = "Mörk Ensemble";
    album.album = "東京 Nights";
    album.year = "1987";
    album.date = "1987-05-04";
    album.genre = "Ambient";
    album.comment = "Remastered";
    album.trackTitles = {"Intro", "Crème brûlée", "Outro"};
    album.source = kReleaseId;
    album.isrcs = {"", "GBAYE8700001", ""};
    album.credits = {{"Intro", "", {}, "11111111-1111-4111-8111-111111111111", "21111111-1111-4111-8111-111111111111"},
                     {"Crème brûlée", "", {}, "12222222-2222-4222-8222-222222222222",
                      "22222222-2222-4222-8222-222222222222"},
                     {"Outro", "", {}, "13333333-3333-4333-8333-333333333333", "23333333-3333-4333-8333-333333333333"}};
    album.artistIds = {kAlbumArtistId};
    album.releaseGroupId = kGroupId;
    album.country = "GB";
    album.label = "Nordic Drift";
    album.catalogNumber = "ND-042";
    album.barcode = "5012345678900";
    album.media = "CD";
    album.discNumber = 1;
    album.discTotal = 2;
    album.discId = kDiscId;
    return album;
}

// Track 2 of PlainAlbum.
const std::vector<Expected> kPlainTrack = {
    {"TIT2", "TITLE", "Title", "Title", {"Crème brûlée"}},
    {"TPE1", "ARTIST", "Artist", "Author", {"Mörk Ensemble"}},
    {"TALB", "ALBUM", "Album", "WM/AlbumTitle", {"東京 Nights"}},
    {"TPE2", "ALBUMARTIST", "Album Artist", "WM/AlbumArtist", {"Mörk Ensemble"}},
    {"TRCK", "", "Track", "", {"2/3"}},
    {"", "TRACKNUMBER", "", "WM/TrackNumber", {"2"}},
    {"", "TRACKTOTAL", "", "", {"3"}},
    {"", "TOTALTRACKS", "", "", {"3"}},
    {"TPOS", "", "Disc", "WM/PartOfSet", {"1/2"}},
    {"", "DISCNUMBER", "", "", {"1"}},
    {"", "DISCTOTAL", "", "", {"2"}},
    {"", "TOTALDISCS", "", "", {"2"}},
    {"TDRC", "DATE", "Year", "WM/Year", {"1987-05-04"}},
    {"TCON", "GENRE", "Genre", "WM/Genre", {"Ambient"}},
    {"COMM::eng", "COMMENT", "Comment", "Description", {"Remastered"}},
    {"TSRC", "ISRC", "ISRC", "WM/ISRC", {"GBAYE8700001"}},
    {"TXXX:BARCODE", "BARCODE", "Barcode", "WM/Barcode", {"5012345678900"}},
    {"TXXX:CATALOGNUMBER", "CATALOGNUMBER", "CatalogNumber", "WM/CatalogNo", {"ND-042"}},
    {"TPUB", "LABEL", "Label", "WM/Publisher", {"Nordic Drift"}},
    {"TMED", "MEDIA", "Media", "WM/Media", {"CD"}},
    {"TXXX:MusicBrainz Album Release Country", "RELEASECOUNTRY", "RELEASECOUNTRY",
     "MusicBrainz/Album Release Country", {"GB"}},
    {"TXXX:MusicBrainz Album Id", "MUSICBRAINZ_ALBUMID", "MUSICBRAINZ_ALBUMID", "MusicBrainz/Album Id",
     {kReleaseId}},
    {"TXXX:MusicBrainz Release Group Id", "MUSICBRAINZ_RELEASEGROUPID", "MUSICBRAINZ_RELEASEGROUPID",
     "MusicBrainz/Release Group Id", {kGroupId}},
    {"TXXX:MusicBrainz Artist Id", "MUSICBRAINZ_ARTISTID", "MUSICBRAINZ_ARTISTID", "MusicBrainz/Artist Id",
     {kAlbumArtistId}},
    {"TXXX:MusicBrainz Album Artist Id", "MUSICBRAINZ_ALBUMARTISTID", "MUSICBRAINZ_ALBUMARTISTID",
     "MusicBrainz/Album Artist Id", {kAlbumArtistId}},
    {"UFID:http://musicbrainz.org", "MUSICBRAINZ_TRACKID", "MUSICBRAINZ_TRACKID", "MusicBrainz/Track Id",
     {"12222222-2222-4222-8222-222222222222"}},
    {"TXXX:MusicBrainz Release Track Id", "MUSICBRAINZ_RELEASETRACKID", "MUSICBRAINZ_RELEASETRACKID",
     "MusicBrainz/Release Track Id", {"22222222-2222-4222-8222-222222222222"}},
    {"TXXX:MusicBrainz Disc Id", "MUSICBRAINZ_DISCID", "MUSICBRAINZ_DISCID", "MusicBrainz/Disc Id", {kDiscId}},
};

constexpr const char* kVariousArtistsId = "89ad4ac3-39f7-470e-963a-56509c546377";
constexpr const char* kTomJonesId = "57c6f649-6cde-48a7-8114-2a200247601a";
constexpr const char* kStereophonicsId = "0bfba3d3-6a04-4779-bb0a-df07df5b0558";

// A compilation named from a release, but through a source that is not a
// release id; its first title in the freedb manner.
AlbumInfo Compilation()
{
    AlbumInfo album;
    album.artist = "Various Artists";
    album.album = "Reload Hits";
    album.year = "1999";
    album.trackTitles = {"Tom Jones & Stereophonics / Mama Told Me Not to Come", "Other"};
    album.source = "rock/8a0b2c0d";
    album.credits = {{"Mama Told Me Not to Come", "Tom Jones & Stereophonics", {kTomJonesId, kStereophonicsId},
                      "31111111-1111-4111-8111-111111111111", "41111111-1111-4111-8111-111111111111"},
                     {"Other", "Someone Else", {}, "", ""}};
    album.artistIds = {kVariousArtistsId};
    return album;
}

// Track 1 of Compilation.
const std::vector<Expected> kCompilationTrack = {
    {"TIT2", "TITLE", "Title", "Title", {"Mama Told Me Not to Come"}},
    {"TPE1", "ARTIST", "Artist", "Author", {"Tom Jones & Stereophonics"}},
    {"TALB", "ALBUM", "Album", "WM/AlbumTitle", {"Reload Hits"}},
    {"TPE2", "ALBUMARTIST", "Album Artist", "WM/AlbumArtist", {"Various Artists"}},
    {"TRCK", "", "Track", "", {"1/2"}},
    {"", "TRACKNUMBER", "", "WM/TrackNumber", {"1"}},
    {"", "TRACKTOTAL", "", "", {"2"}},
    {"", "TOTALTRACKS", "", "", {"2"}},
    {"TDRC", "DATE", "Year", "WM/Year", {"1999"}},
    {"TXXX:MusicBrainz Artist Id", "MUSICBRAINZ_ARTISTID", "MUSICBRAINZ_ARTISTID", "MusicBrainz/Artist Id",
     {kTomJonesId, kStereophonicsId}},
    {"TXXX:MusicBrainz Album Artist Id", "MUSICBRAINZ_ALBUMARTISTID", "MUSICBRAINZ_ALBUMARTISTID",
     "MusicBrainz/Album Artist Id", {kVariousArtistsId}},
    {"UFID:http://musicbrainz.org", "MUSICBRAINZ_TRACKID", "MUSICBRAINZ_TRACKID", "MusicBrainz/Track Id",
     {"31111111-1111-4111-8111-111111111111"}},
    {"TXXX:MusicBrainz Release Track Id", "MUSICBRAINZ_RELEASETRACKID", "MUSICBRAINZ_RELEASETRACKID",
     "MusicBrainz/Release Track Id", {"41111111-1111-4111-8111-111111111111"}},
};

struct Case {
    const char* name;
    AlbumInfo (*album)();
    std::uint32_t trackIndex;
    const std::vector<Expected>* expected;  // null: no tags at all
};

AlbumInfo WithoutTitles()
{
    AlbumInfo album = PlainAlbum();
    album.trackTitles.clear();
    album.credits.clear();
    return album;
}

const Case kCases[] = {
    {"PlainAlbum", PlainAlbum, 1, &kPlainTrack},
    {"CompilationTrack", Compilation, 0, &kCompilationTrack},
    {"DiscWithoutTitles", WithoutTitles, 0, nullptr},
};

void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }
void PrintTo(const Case& scenario, std::ostream* out) { *out << scenario.name; }

class CompleteTags : public ::testing::TestWithParam<std::tuple<Format, Case>> {};

TEST_P(CompleteTags, MutagenReadsEveryFieldUnderPicardsNameAndNothingElse)
{
    const auto& [format, scenario] = GetParam();
    TempDir dir;
    const fs::path file = dir / (std::string("t") + format.extension);
    {
        auto encoder = MakeEncoder(format.code, file, scenario.album(), scenario.trackIndex);
        EncodeWhole(*encoder, MusicPcm(44100 / 4));
    }
    const Lines expected = scenario.expected ? ExpectedLines(*scenario.expected, format.layout) : Lines{};
    EXPECT_EQ(MutagenTags(file, format.layout), expected);
}

INSTANTIATE_TEST_SUITE_P(FormatsAndAlbums, CompleteTags,
                         ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::ValuesIn(kCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

// ffprobe, a reader of its own, finds the basic fields in FLAC and MP3.
class BasicTagsInFfprobe : public ::testing::TestWithParam<Format> {};

TEST_P(BasicTagsInFfprobe, TitleArtistAlbumAlbumArtistTrackDiscDateAndGenreAreThere)
{
    const Format& format = GetParam();
    TempDir dir;
    const fs::path file = dir / (std::string("t") + format.extension);
    {
        auto encoder = MakeEncoder(format.code, file, PlainAlbum(), 1);
        EncodeWhole(*encoder, MusicPcm(44100 / 4));
    }
    const ProgramResult probe = Judge({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                                       "default=nw=1", file.string()});
    std::string tags = probe.out;
    std::transform(tags.begin(), tags.end(), tags.begin(), [](unsigned char c) { return std::tolower(c); });
    // FFmpeg's names: some as the file writes them, some its own; compared in lower case.
    const bool flac = format.code == FormatCode::Flac;
    for (const std::string line :
         {"tag:title=crème brûlée", "tag:artist=mörk ensemble", "tag:album=東京 nights",
          "tag:album_artist=mörk ensemble",
          flac ? "tag:track=2" : "tag:track=2/3", flac ? "tag:disc=1" : "tag:disc=1/2", "tag:date=1987-05-04",
          "tag:genre=ambient"})
        EXPECT_NE(tags.find(line + "\n"), std::string::npos) << line << " in\n" << probe.out;
}

INSTANTIATE_TEST_SUITE_P(FlacAndMp3, BasicTagsInFfprobe, ::testing::Values(kFormats[0], kFormats[2]),
                         [](const auto& info) { return std::string(info.param.name); });

// The rules of BuildTrackTags that the files above do not reach.
TEST(TrackTags, AlbumArtistAndAlbumIdsOnlyWhereTheyDescribeTheTrack)
{
    AlbumInfo album;
    album.artist = "Band";
    album.trackTitles = {"One", "Two"};
    // No ids, the album's artist: no album artist beside it.
    EXPECT_EQ(BuildTrackTags(album, 0, 1),
              (std::vector<TrackTag>{{TagField::Title, "One"}, {TagField::Artist, "Band"},
                                     {TagField::TrackNumber, "1"}, {TagField::TrackTotal, "2"}}));
    // A guest artist of its own without ids: the album's ids are not the track's.
    album.artistIds = {kAlbumArtistId};
    album.credits = {{"One", "", {}, "", ""}, {"Two", "Band feat. Guest", {}, "", ""}};
    EXPECT_EQ(BuildTrackTags(album, 1, 2),
              (std::vector<TrackTag>{{TagField::Title, "Two"},
                                     {TagField::Artist, "Band feat. Guest"},
                                     {TagField::AlbumArtist, "Band"},
                                     {TagField::TrackNumber, "2"},
                                     {TagField::TrackTotal, "2"},
                                     {TagField::AlbumArtistId, kAlbumArtistId}}));
}

TEST(TrackTags, TheHiddenTracksNumberZeroAndANumberBeyondTheListHaveNoTotal)
{
    AlbumInfo album;
    album.trackTitles = {"Hidden"};
    EXPECT_EQ(BuildTrackTags(album, 0, 0),
              (std::vector<TrackTag>{{TagField::Title, "Hidden"}, {TagField::TrackNumber, "0"}}));
    EXPECT_EQ(BuildTrackTags(album, 0, 2),
              (std::vector<TrackTag>{{TagField::Title, "Hidden"}, {TagField::TrackNumber, "2"}}));
}

TEST(TrackTags, OnlyTheTextFormOfAUuidIsAReleaseId)
{
    EXPECT_TRUE(IsMusicBrainzId(kReleaseId));
    EXPECT_TRUE(IsMusicBrainzId("4F1A5C3E-8B2D-4E6F-9A0B-1C2D3E4F5A6B"));
    for (const char* other : {"", "rock/8a0b2c0d", "4f1a5c3e8b2d4e6f9a0b1c2d3e4f5a6b",
                              "4f1a5c3e-8b2d-4e6f-9a0b-1c2d3e4f5a6", "4f1a5c3e-8b2d-4e6f-9a0b-1c2d3e4f5a6g",
                              "4f1a5c3e-8b2d-4e6f-9a0b1-c2d3e4f5a6b"})
        EXPECT_FALSE(IsMusicBrainzId(other)) << other;
}

}  // namespace
}  // namespace tesslow
