// Tags set in finished files of every tagged format: mutagen reads the new
// values beside the old tags, a name set again keeps one value whatever its
// letter case, and FFmpeg decodes the same audio as before, with no error
// (Ogg pages renumbered behind headers that grew by pages, as ogginfo checks). A small update
// of a FLAC file goes into its padding.

#include "codec_judges.h"
#include "encoding/encoder_exception.h"
#include "encoding/tag_update.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;

// Every text tag as mutagen reads it, "NAME=value" per line, the name in
// upper case (an ID3v2 TXXX frame by its description, TIT2 as TITLE); a value
// longer than 80 characters as its length.
constexpr const char* kTagsScript = R"(
import sys, mutagen
from mutagen.id3 import ID3
f = mutagen.File(sys.argv[1])
lines = []
def add(name, value):
    value = str(value)
    lines.append(name.upper() + "=" + (value if len(value) <= 80 else "<%d characters>" % len(value)))
if isinstance(f.tags, ID3):
    for frame in f.tags.getall("TXXX"):
        for text in frame.text:
            add(frame.desc, text)
    for frame in f.tags.getall("TIT2"):
        add("TITLE", frame.text[0])
elif f.tags is not None:
    for name, value in f.tags.items():
        for item in (value if isinstance(value, list) else [value]):
            add(name, item)
sys.stdout.write("".join(sorted(set(line + "\n" for line in lines))))
)";

std::multimap<std::string, std::string> TagsOf(const fs::path& file)
{
    const ProgramResult read = Judge({"/usr/bin/python3", "-c", kTagsScript, file.string()});
    std::multimap<std::string, std::string> tags;
    std::istringstream in(read.out);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        tags.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return tags;
}

std::string Decoded(const fs::path& file)
{
    const ProgramResult decoded = Judge({"ffmpeg", "-v", "error", "-i", file.string(), "-f", "s16le", "-"});
    EXPECT_EQ(decoded.err, "") << file;
    return decoded.out;
}

struct Format {
    const char* name;
    FormatCode code;
    const char* extension;
    std::size_t largest;  // characters of the long value: ASF takes at most 64 KiB per value
};

const Format kFormats[] = {
    {"Flac", FormatCode::Flac, ".flac", 100000}, {"Ogg", FormatCode::Ogg, ".ogg", 100000},
    {"Mp3", FormatCode::Mp3, ".mp3", 100000},    {"Ape", FormatCode::Ape, ".ape", 100000},
    {"Wma", FormatCode::Wma, ".wma", 30000},
};

struct Size {
    const char* name;
    bool large;  // a value larger than any padding, and than an Ogg page
};
const Size kSizes[] = {{"Small", false}, {"Large", true}};

void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }
void PrintTo(const Size& size, std::ostream* out) { *out << size.name; }

class TagUpdateFormats : public ::testing::TestWithParam<std::tuple<Format, Size>> {};

TEST_P(TagUpdateFormats, NewTagsJoinTheOldOnesAndTheAudioStaysTheSame)
{
    const auto& [format, size] = GetParam();
    TempDir dir;
    const fs::path file = dir / (std::string("t") + format.extension);
    AlbumInfo album;
    album.artist = "Quiet Band";
    album.trackTitles = {"Hush"};
    {
        auto encoder = MakeEncoder(format.code, file, album);
        EncodeWhole(*encoder, MusicPcm(44100));
    }
    const std::string audio = Decoded(file);
    ASSERT_FALSE(audio.empty());
    const auto bytes = fs::file_size(file);

    UpdateTags(format.code, file.string(), {{"REPLAYGAIN_TRACK_GAIN", "-1.00 dB"}, {"REPLAYGAIN_TRACK_PEAK", "0.5"}});
    if (format.code == FormatCode::Flac) {
        EXPECT_EQ(fs::file_size(file), bytes) << "not written into the padding";
    }
    const std::string large(size.large ? format.largest : 10, 'x');
    UpdateTags(format.code, file.string(),
               {{"replaygain_track_gain", "-2.50 dB"}, {"REPLAYGAIN_ALBUM_GAIN", "-3.00 dB"}, {"NOTE", large}});

    const auto tags = TagsOf(file);
    const std::multimap<std::string, std::string> expected = {
        {"REPLAYGAIN_TRACK_GAIN", "-2.50 dB"},
        {"REPLAYGAIN_TRACK_PEAK", "0.5"},
        {"REPLAYGAIN_ALBUM_GAIN", "-3.00 dB"},
        {"NOTE", size.large ? "<" + std::to_string(large.size()) + " characters>" : large},
        {"TITLE", "Hush"},
    };
    for (const auto& [name, value] : expected) {
        const auto [first, last] = tags.equal_range(name);
        ASSERT_EQ(std::distance(first, last), 1) << name;
        EXPECT_EQ(first->second, value) << name;
    }
    EXPECT_TRUE(Decoded(file) == audio) << "the audio changed";
    if (format.code == FormatCode::Ogg) {
        // ogginfo checks every page's checksum and sequence number.
        const ProgramResult pages = Judge({"ogginfo", file.string()});
        EXPECT_EQ(pages.out.find("WARNING"), std::string::npos) << pages.out;
        EXPECT_EQ(pages.out.find("ERROR"), std::string::npos) << pages.out;
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, TagUpdateFormats, ::testing::Combine(::testing::ValuesIn(kFormats),
                                                                          ::testing::ValuesIn(kSizes)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

TEST(TagUpdate, AFileThatIsNotOfItsFormatIsRefusedAndLeftAsItWas)
{
    TempDir dir;
    const fs::path file = dir / "t";
    const std::string text(4096, 'a');
    for (const FormatCode format : {FormatCode::Flac, FormatCode::Ogg, FormatCode::Wma}) {
        WriteFile(file, text);
        try {
            UpdateTags(format, file.string(), {{"REPLAYGAIN_TRACK_GAIN", "-1.00 dB"}});
            ADD_FAILURE() << "accepted as format " << static_cast<int>(format);
        } catch (const EncoderException& error) {
            EXPECT_TRUE(error.Message().starts_with("cannot write tags (")) << error.Message();
        }
        EXPECT_EQ(ReadFile(file), text);
    }
    EXPECT_NO_THROW(UpdateTags(FormatCode::Wav, file.string(), {{"REPLAYGAIN_TRACK_GAIN", "-1.00 dB"}}));
}

}  // namespace
}  // namespace tesslow
