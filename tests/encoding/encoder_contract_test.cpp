// What every encoder promises the rip worker, judged by FFmpeg: the file
// decodes to the audio it was fed, carries the disc's tags (none for WAV, none
// on a disc without titles), is empty when no audio came, replaces nothing
// without consent, and a Finish that cannot complete the file says so.

#include "codec_judges.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "support/file_size_limit.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;

// The track's number (2 of 3 below) as FFmpeg shows it: Vorbis comments
// name the total apart, twice; ID3v2 and APEv2 write "2/3"; ASF the number alone.
using TrackTags = std::vector<std::string>;

struct Wav {
    static constexpr FormatCode kFormat = FormatCode::Wav;
    static constexpr bool kLossless = true;
    static constexpr bool kTags = false;
    static TrackTags Track() { return {}; }
};
struct Flac {
    static constexpr FormatCode kFormat = FormatCode::Flac;
    static constexpr bool kLossless = true;
    static constexpr bool kTags = true;
    static TrackTags Track() { return {"track=2", "tracktotal=3", "totaltracks=3"}; }
};
struct Ogg {
    static constexpr FormatCode kFormat = FormatCode::Ogg;
    static constexpr bool kLossless = false;
    static constexpr bool kTags = true;
    static TrackTags Track() { return Flac::Track(); }
};
struct Mp3 {
    static constexpr FormatCode kFormat = FormatCode::Mp3;
    static constexpr bool kLossless = false;
    static constexpr bool kTags = true;
    static TrackTags Track() { return {"track=2/3"}; }
};
struct Ape {
    static constexpr FormatCode kFormat = FormatCode::Ape;
    static constexpr bool kLossless = true;
    static constexpr bool kTags = true;
    // APE tags name the year as such.
    static constexpr const char* kYearKey = "year";
    static TrackTags Track() { return {"track=2/3"}; }
};

struct Wma {
    static constexpr FormatCode kFormat = FormatCode::Wma;
    static constexpr bool kLossless = false;
    static constexpr bool kTags = true;
    static constexpr const char* kYearKey = "wm/year";
    static TrackTags Track() { return {"track=2"}; }
    // The codec works in frames of 2048 samples; the last one is filled with silence.
    static constexpr std::size_t kFrameSamples = 2048;
};

// The tag names FFmpeg shows, where a format differs from the common ones.
template <typename Format>
constexpr const char* YearKey()
{
    if constexpr (requires { Format::kYearKey; }) return Format::kYearKey;
    return "date";
}
// Samples a decoded file may have beyond the audio fed.
template <typename Format>
constexpr std::size_t LengthSlack()
{
    if constexpr (requires { Format::kFrameSamples; }) return Format::kFrameSamples - 1;
    return 0;
}

template <typename Format>
class EncoderContract : public ::testing::Test {
protected:
    fs::path Path(const std::string& name) const { return dir / (name + TargetExtension(Format::kFormat)); }

    // 16-bit stereo PCM at 44100 Hz as FFmpeg decodes the file.
    static std::string Decode(const fs::path& file)
    {
        return Judge({"ffmpeg", "-v", "error", "-i", file.string(), "-f", "s16le", "-acodec", "pcm_s16le", "-ar",
                      "44100", "-ac", "2", "-"})
            .out;
    }

    // The file's tags as FFmpeg reads them, "name=value" sorted, names in lower case.
    static std::vector<std::string> Tags(const fs::path& file)
    {
        const ProgramResult probe = Judge({"ffprobe", "-v", "error", "-show_entries", "format_tags:stream_tags", "-of",
                                           "default=nw=1", file.string()});
        std::vector<std::string> tags;
        std::istringstream lines(probe.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("TAG:", 0) != 0) continue;
            std::string tag = line.substr(4);
            std::transform(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tag.find('=')), tag.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (tag.rfind("encoder=", 0) != 0) tags.push_back(tag);
        }
        std::sort(tags.begin(), tags.end());
        return tags;
    }

    TempDir dir;
};

using Formats = ::testing::Types<Wav, Flac, Ogg, Mp3, Ape, Wma>;
class FormatNames {
public:
    template <typename T>
    static std::string GetName(int)
    {
        return TargetExtension(T::kFormat).substr(1);
    }
};
TYPED_TEST_SUITE(EncoderContract, Formats, FormatNames);

TYPED_TEST(EncoderContract, DecodesToTheAudioItWasFedInBlocksOfAnySize)
{
    const std::string pcm = MusicPcm(44100 * 2 + 777, 3);
    {
        auto encoder = MakeEncoder(TypeParam::kFormat, this->Path("t"));
        // Blocks of whole frames that shrink and grow again, one larger than
        // any buffer, as a short last chunk of a track.
        const std::size_t sizes[] = {2352, 61152, 400, 61152 * 3, 4};
        std::size_t at = 0;
        for (std::size_t i = 0; at < pcm.size(); ++i) {
            const auto size = static_cast<unsigned>(std::min(sizes[i % std::size(sizes)], pcm.size() - at));
            unsigned consumed = 0;
            encoder->Write(pcm.data() + at, size, &consumed);
            EXPECT_EQ(consumed, size);
            at += size;
        }
        encoder->Finish();
    }
    const std::string decoded = this->Decode(this->Path("t"));
    ASSERT_GE(decoded.size(), pcm.size()) << "every sample";
    ASSERT_LE(decoded.size(), pcm.size() + 4 * LengthSlack<TypeParam>()) << "no more";
    if (TypeParam::kLossless)
        EXPECT_TRUE(decoded == pcm);
    else
        EXPECT_GT(SnrDb(pcm, decoded), 20.0);
}

TYPED_TEST(EncoderContract, TheDiscsTagsReadBackAndADiscWithoutTitlesGetsNone)
{
    AlbumInfo tags;
    tags.artist = "Mörk Ensemble";
    tags.album = "東京 Nights";
    tags.year = "1987";
    tags.genre = "Ambient";
    tags.trackTitles = {"Intro", "Crème brûlée", "Outro"};
    tags.source = "never written";
    const std::string pcm = MusicPcm(11025);
    auto tagged = MakeEncoder(TypeParam::kFormat, this->Path("tagged"), tags, 1);
    EncodeWhole(*tagged, pcm);
    tags.trackTitles.clear();
    auto untitled = MakeEncoder(TypeParam::kFormat, this->Path("untitled"), tags, 1);
    EncodeWhole(*untitled, pcm);
    tagged.reset();
    untitled.reset();

    std::vector<std::string> expected = {"album=東京 Nights", "artist=Mörk Ensemble",
                                         std::string(YearKey<TypeParam>()) + "=1987", "genre=Ambient",
                                         "title=Crème brûlée"};
    for (const std::string& track : TypeParam::Track()) expected.push_back(track);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(this->Tags(this->Path("tagged")), TypeParam::kTags ? expected : std::vector<std::string>{});
    EXPECT_EQ(this->Tags(this->Path("untitled")), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(this->Path("tagged")).find("never written"), std::string::npos);
}

TYPED_TEST(EncoderContract, ATrackWithoutAudioIsEmptyAndAnExistingFileIsKeptWithoutConsent)
{
    {
        auto encoder = MakeEncoder(TypeParam::kFormat, this->Path("empty"));
        encoder->Finish();
    }
    EXPECT_EQ(fs::file_size(this->Path("empty")), 0u);

    WriteFile(this->Path("mine"), "my own file");
    try {
        MakeEncoder(TypeParam::kFormat, this->Path("mine"));  // nobody can be asked
        FAIL() << "replaced without consent";
    } catch (const EncoderException& e) {
        EXPECT_STREQ(e.what(), "file skipped");
    }
    EXPECT_EQ(ReadFile(this->Path("mine")), "my own file");
}

TYPED_TEST(EncoderContract, AFinishThatCannotCompleteTheFileIsReported)
{
    // A short track of an odd byte count: what Finish still has to write
    // (buffered audio, the WAV pad byte) no longer fits on the "disk".
    const std::string pcm = MusicPcm(4000) + "x";
    auto encoder = MakeEncoder(TypeParam::kFormat, this->Path("full"));
    encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
    FileSizeLimit full(fs::file_size(this->Path("full")));
    try {
        encoder->Finish();
        FAIL() << "an incomplete file was reported as finished";
    } catch (const EncoderException& e) {
        // The same plain words for every format (WMA adds its engine's code).
        EXPECT_EQ(std::string(e.what()).rfind("write error (the file is larger than allowed: File too large", 0), 0u)
            << e.what();
    }
}

}  // namespace
}  // namespace tesslow
