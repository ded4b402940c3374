// CMP3Encoder with the real lame_enc module, found through AppPath, and FFmpeg,
// mutagen and eyeD3 as independent judges of the files it writes.

#include "codec_judges.h"
#include "encoding/byte_fifo.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/mp3_encoder.h"
#include "encoding/mp3_stream_config.h"
#include "encoding/overwrite.h"
#include "support/command.h"
#include "support/mp3_frames.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::CreateFails;
using test::InFreshProcess;
using test::Mp3Frames;
using test::ReadFile;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

constexpr std::size_t kRipBlock = 26 * 2352;

// Records every question; answers "overwrite".
class RecordingQuestion : public OverwriteQuestion {
public:
    Reply Ask(const std::string& path) override
    {
        asked.push_back(path);
        return {Answer::Overwrite, false};
    }
    std::vector<std::string> asked;
};

class Mp3EncoderTest : public ::testing::Test {
protected:
    // The AppPath setting the requests carry.
    void UseAppPath(const std::string& folder) { moduleFolder = folder; }

    EncoderRequest Request(const std::string& name, AlbumInfo tags = {}, std::uint32_t trackIndex = 0)
    {
        EncoderRequest request;
        request.format = FormatCode::Mp3;
        request.path = (dir / name).string();
        request.tags = std::move(tags);
        request.trackIndex = trackIndex;
        request.moduleFolder = moduleFolder;
        request.overwrite = &policy;
        request.question = &question;
        return request;
    }

    // Encodes `pcm` in blocks whose sizes cycle through `blocks`; returns the file.
    std::string Encode(const EncoderRequest& request, const std::string& pcm,
                       const std::vector<std::size_t>& blocks = {kRipBlock})
    {
        auto encoder = CreateEncoder(request);
        std::size_t at = 0;
        for (std::size_t i = 0; at < pcm.size(); ++i) {
            const auto size = static_cast<unsigned>(std::min(blocks[i % blocks.size()], pcm.size() - at));
            unsigned consumed = 0;
            encoder->Write(pcm.data() + at, size, &consumed);
            EXPECT_EQ(consumed, size);
            at += size;
        }
        encoder->Finish();
        encoder.reset();
        return ReadFile(request.path);
    }

    std::string moduleFolder = TESSLOW_MODULE_DIR;
    TempDir dir;
    OverwritePolicy policy;
    RecordingQuestion question;
};

// 16-bit stereo PCM as FFmpeg decodes the file, resampled to 44100 Hz.
std::string Decode(const std::string& path)
{
    const auto result = RunCommand("ffmpeg", {"-v", "error", "-i", path, "-f", "s16le", "-acodec", "pcm_s16le",
                                              "-ar", "44100", "-"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

// Correlation of one channel of two 16-bit stereo PCM strings.
double Correlation(const std::string& a, const std::string& b, int channel)
{
    const std::size_t frames = std::min(a.size(), b.size()) / 4;
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        std::int16_t x, y;
        std::memcpy(&x, a.data() + i * 4 + channel * 2, 2);
        std::memcpy(&y, b.data() + i * 4 + channel * 2, 2);
        ab += static_cast<double>(x) * y;
        aa += static_cast<double>(x) * x;
        bb += static_cast<double>(y) * y;
    }
    return ab / std::sqrt(aa * bb);
}

// A Python program run with the system's interpreter (where mutagen and eyeD3 live).
std::string Python(const std::string& program, const std::string& path)
{
    const auto result = RunCommand("/usr/bin/python3", {"-c", program, path});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

TEST_F(Mp3EncoderTest, DecodesToTheTracksLengthWhateverTheBlockSizes)
{
    const std::string pcm = test::MusicPcmSeconds(2.5);
    // Single bytes, odd sizes, rip blocks and a block larger than the FIFO.
    const std::string file = Encode(Request("blocks.mp3"), pcm, {1, 3, 4607, kRipBlock, 300001, 2});
    EXPECT_NE(file.substr(0, 3), "ID3") << "no tags on a disc without titles";
    const auto frames = Mp3Frames(file, 0);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().offset + frames.back().size, file.size()) << "nothing but frames";
    EXPECT_TRUE(frames.front().infoHeader);

    // The information header carries the encoder delay and padding, so the
    // decoder gives back exactly the track's samples, in the right channels.
    const std::string decoded = Decode((dir / "blocks.mp3").string());
    EXPECT_EQ(decoded.size(), pcm.size());
    EXPECT_GT(Correlation(pcm, decoded, 0), 0.95);
    EXPECT_GT(Correlation(pcm, decoded, 1), 0.95);
    const auto lameDecode = RunCommand("lame", {"--decode", "--quiet", (dir / "blocks.mp3").string(), "-"});
    EXPECT_EQ(lameDecode.exitCode, 0);
    EXPECT_EQ(lameDecode.out.size(), 44 + pcm.size());  // a WAV header and the samples
}

TEST_F(Mp3EncoderTest, EachPresetAndForceCbrCombinationGivesItsBitRate)
{
    const std::string pcm = test::MusicPcmSeconds(3.0);
    struct Case {
        QualityPreset preset;
        std::int32_t custom;
        bool forceCbr;
        int constantKbps;      // every frame, when the rate is constant
        double averageKbps;    // when it is an average rate
        const char* mode;      // as mutagen reads it from the information header
    };
    const Case cases[] = {
        {QualityPreset::Low, 0, false, 0, 80, "BitrateMode.ABR"},
        {QualityPreset::Medium, 0, false, 0, 0, "BitrateMode.VBR"},
        {QualityPreset::High, 0, false, 0, 0, "BitrateMode.VBR"},
        {QualityPreset::Custom, 160000, false, 0, 160, "BitrateMode.ABR"},
        {QualityPreset::Low, 0, true, 80, 0, "BitrateMode.UNKNOWN"},
        {QualityPreset::Medium, 0, true, 192, 0, "BitrateMode.UNKNOWN"},
        {QualityPreset::High, 0, true, 256, 0, "BitrateMode.UNKNOWN"},
        {QualityPreset::Custom, 128000, true, 128, 0, "BitrateMode.UNKNOWN"},
    };
    double mediumKbps = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "preset " << static_cast<int>(c.preset) << " forceCbr " << c.forceCbr);
        EncoderRequest request = Request("rate.mp3");
        request.mp3ForceCbr = c.forceCbr;
        request.preset = c.preset;
        request.qualityValue = c.custom;
        const std::string file = Encode(request, pcm);
        auto frames = Mp3Frames(file, 0);
        ASSERT_GT(frames.size(), 50u);
        // The information header is there exactly when the rate may vary.
        EXPECT_EQ(frames.front().infoHeader, !c.forceCbr);
        if (frames.front().infoHeader) frames.erase(frames.begin());
        double bits = 0;
        int lowest = 1000, highest = 0;
        for (const auto& frame : frames) {
            bits += frame.size * 8.0;
            lowest = std::min(lowest, frame.bitrateKbps);
            highest = std::max(highest, frame.bitrateKbps);
        }
        const double seconds = frames.size() * 1152.0 / frames.front().sampleRate;
        const double kbps = bits / seconds / 1000;
        if (c.constantKbps) {
            EXPECT_EQ(lowest, c.constantKbps);
            EXPECT_EQ(highest, c.constantKbps);
        } else {
            EXPECT_LT(lowest, highest) << "a variable rate";
        }
        if (c.averageKbps > 0) {
            EXPECT_NEAR(kbps, c.averageKbps, c.averageKbps * 0.1);
        }
        if (c.preset == QualityPreset::Medium && !c.forceCbr) mediumKbps = kbps;
        if (c.preset == QualityPreset::High && !c.forceCbr) {
            EXPECT_GT(kbps, mediumKbps * 1.3) << "extreme above medium";
        }

        const std::string mode = Python("import sys; from mutagen.mp3 import MP3\n"
                                        "print(MP3(sys.argv[1]).info.bitrate_mode)",
                                        request.path);
        EXPECT_EQ(mode, std::string(c.mode) + "\n");
    }
}

TEST_F(Mp3EncoderTest, TheConfigurationRecordCarriesThePresetMapping)
{
    auto field = [](const BE_CONFIG& config, std::size_t offset) {
        std::uint32_t value;
        std::memcpy(&value, reinterpret_cast<const char*>(&config) + offset, 4);
        return value;
    };
    // MP3ForceCBR with the custom 128 kbps step.
    BE_CONFIG config = MakeMp3StreamConfig({QualityPreset::Custom, 128000, true, 44100, 2});
    EXPECT_EQ(field(config, 0), 256u);
    EXPECT_EQ(field(config, 4), 1u);
    EXPECT_EQ(field(config, 8), 331u);
    EXPECT_EQ(field(config, 12), 44100u);
    EXPECT_EQ(field(config, 20), 0u);
    EXPECT_EQ(field(config, 24), 128u);
    EXPECT_EQ(field(config, 32), 12u);
    EXPECT_EQ(field(config, 36), 1u);
    EXPECT_EQ(field(config, 64), 0u);
    EXPECT_EQ(field(config, 76), 128000u);
    // Everything else stays zero.
    BE_CONFIG expected{};
    std::memcpy(&expected, &config, 40);
    std::memcpy(reinterpret_cast<char*>(&expected) + 64, reinterpret_cast<const char*>(&config) + 64, 4);
    std::memcpy(reinterpret_cast<char*>(&expected) + 76, reinterpret_cast<const char*>(&config) + 76, 4);
    EXPECT_EQ(std::memcmp(&expected, &config, sizeof config), 0);

    config = MakeMp3StreamConfig({QualityPreset::High, 0, false, 44100, 1});
    EXPECT_EQ(field(config, 20), 3u) << "mono";
    EXPECT_EQ(field(config, 32), 8u);
    EXPECT_EQ(field(config, 64), 1u);
    EXPECT_EQ(field(config, 24), 0u);
    EXPECT_EQ(field(config, 76), 0u);
}

TEST_F(Mp3EncoderTest, MonoInputGivesAMonoFile)
{
    const std::string pcm = test::MusicPcmSeconds(1.0, 1);
    auto encoder = CreateEncoder(Request("mono.mp3"));
    encoder->channels = 1;
    encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
    encoder->Finish();
    encoder.reset();
    const auto frames = Mp3Frames(ReadFile(dir / "mono.mp3"), 0);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().channels, 1);
    const auto probe = RunCommand("ffprobe", {"-v", "error", "-show_entries", "stream=channels", "-of",
                                              "default=nw=1", (dir / "mono.mp3").string()});
    EXPECT_EQ(probe.out, "channels=1\n");
    EXPECT_EQ(Decode((dir / "mono.mp3").string()).size(), pcm.size());
}

TEST_F(Mp3EncoderTest, TagsSurroundTheAudioAndIndependentReadersAgree)
{
    AlbumInfo tags;
    tags.artist = "Björk & Friends";
    tags.album = "Ωmega";
    tags.year = "1997";
    tags.genre = "rOcK";
    tags.comment = "in both tags";
    tags.trackTitles = {"One", "Jóga"};
    const std::string file = Encode(Request("tagged.mp3", tags, 1), test::MusicPcmSeconds(1.0));

    const std::size_t v2 = test::Id3v2Size(file);
    ASSERT_GT(v2, 10u);
    const auto frames = Mp3Frames(file, v2);
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(frames.front().infoHeader) << "the library found its frame behind the tag";
    EXPECT_EQ(frames.back().offset + frames.back().size, file.size() - 128);
    EXPECT_EQ(file.substr(file.size() - 128, 3), "TAG");
    EXPECT_LT(file.find("in both tags"), v2);
    EXPECT_EQ(file.rfind("in both tags"), file.size() - 128 + 97);

    const std::string mutagen = Python(
        "import sys, mutagen.id3 as m\n"
        "t = m.ID3(sys.argv[1])\n"
        "print(t.version, *(f'{k}={t[k].text[0]}' for k in ('TIT2','TPE1','TALB','TDRC','TCON','TRCK')), sep='|')\n"
        "v1 = m.ParseID3v1(open(sys.argv[1], 'rb').read()[-128:])\n"
        "print(*(f'{k}={v1[k].text[0]}' for k in ('TIT2','TPE1','TALB','TDRC','TRCK','TCON')), sep='|')\n",
        (dir / "tagged.mp3").string());
    EXPECT_EQ(mutagen,
              "(2, 4, 0)|TIT2=Jóga|TPE1=Björk & Friends|TALB=Ωmega|TDRC=1997|TCON=rOcK|TRCK=2/2\n"
              "TIT2=Jóga|TPE1=Björk & Friends|TALB=?mega|TDRC=1997|TRCK=2|TCON=17\n");

    const auto probe = RunCommand("ffprobe", {"-v", "error", "-show_entries", "format_tags", "-of", "default=nw=1",
                                              (dir / "tagged.mp3").string()});
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = probe.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(probe.out.substr(at, end - at));
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"TAG:album=Ωmega", "TAG:artist=Björk & Friends",
                                               "TAG:comment=in both tags", "TAG:date=1997", "TAG:genre=rOcK",
                                               "TAG:title=Jóga", "TAG:track=2/2"}));
}

TEST_F(Mp3EncoderTest, TheYearIsVisibleToReadersThatKnowOnlyTheVersion4DateFrame)
{
    // eyeD3, like TagLib's year and GStreamer, ignores TYER in a version-4
    // tag; the TDRC frame written beside it carries the year to them.
    AlbumInfo tags;
    tags.year = "2003";
    tags.trackTitles = {"Title"};
    Encode(Request("year.mp3", tags), test::MusicPcmSeconds(0.5));
    const std::string eyed3 = Python("import sys, logging, eyed3\nlogging.disable(logging.CRITICAL)\n"
                                     "t = eyed3.load(sys.argv[1]).tag\n"
                                     "print(t.version, t.recording_date, t.getBestDate())",
                                     (dir / "year.mp3").string());
    EXPECT_EQ(eyed3, "(2, 4, 0) 2003 2003\n");
    const std::string raw = Python("import sys, mutagen.id3 as m\n"
                                   "t = m.ID3(sys.argv[1], translate=False)\n"
                                   "print(sorted(t.keys()))",
                                   (dir / "year.mp3").string());
    EXPECT_EQ(raw, "['TDRC', 'TIT2', 'TRCK', 'TYER']\n");
}

TEST_F(Mp3EncoderTest, ADiscWithoutTitlesGetsNoTagsAndAnEmptyTitleNoId3v1)
{
    AlbumInfo noTitles;
    noTitles.artist = "Artist";
    noTitles.genre = "Rock";
    std::string file = Encode(Request("untitled.mp3", noTitles), test::MusicPcmSeconds(0.5));
    const auto frames = Mp3Frames(file, 0);
    ASSERT_FALSE(frames.empty()) << "audio at offset 0";
    EXPECT_EQ(frames.back().offset + frames.back().size, file.size()) << "no ID3v1 tag";
    EXPECT_EQ(file.find("Artist"), std::string::npos);

    AlbumInfo emptyTitle;
    emptyTitle.artist = "Artist";
    emptyTitle.trackTitles = {"First", ""};
    file = Encode(Request("empty-title.mp3", emptyTitle, 1), test::MusicPcmSeconds(0.5));
    EXPECT_EQ(file.substr(0, 41), std::string("ID3\x04\0\0\0\0\0\x1f", 10) + "TPE1" + std::string("\0\0\0\x07\0\0\x03", 7) +
                                      "Artist" + "TRCK" + std::string("\0\0\0\x04\0\0\x03", 7) + "2/2");
    const auto audio = Mp3Frames(file, 41);
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio.back().offset + audio.back().size, file.size()) << "no ID3v1 tag";
}

TEST_F(Mp3EncoderTest, ACancelledTrackKeepsItsTagAndFramesSoFar)
{
    AlbumInfo tags;
    tags.trackTitles = {"Silent"};
    {
        // Cancelled after some audio: the partial file stays, tag and frames so far.
        auto encoder = CreateEncoder(Request("cancelled.mp3", tags));
        const std::string pcm = test::MusicPcmSeconds(0.5);
        encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
    }
    const std::string partial = ReadFile(dir / "cancelled.mp3");
    EXPECT_EQ(partial.substr(0, 3), "ID3");
    EXPECT_GT(partial.size(), test::Id3v2Size(partial));
}

TEST_F(Mp3EncoderTest, AStreamTheModuleRefusesIsUnableToEncodeAfterTheTag)
{
    AlbumInfo tags;
    tags.trackTitles = {"Refused"};
    auto encoder = CreateEncoder(Request("refused.mp3", tags));
    encoder->sampleRate = 0;
    try {
        encoder->Write("\0\0\0\0", 4, nullptr);
        FAIL();
    } catch (const EncoderException& e) {
        EXPECT_STREQ(e.what(), "unable to encode");
    }
    encoder.reset();
    const std::string file = ReadFile(dir / "refused.mp3");
    EXPECT_EQ(file.size(), test::Id3v2Size(file));
    EXPECT_EQ(file.substr(0, 3), "ID3");
}

TEST_F(Mp3EncoderTest, APathThatIsNotUtf8StillGetsItsInformationHeader)
{
    const std::string name = "\xff\xfe track.mp3";  // goes by its bytes, not through the wide entry point
    const std::string file = Encode(Request(name), test::MusicPcmSeconds(0.5));
    const auto frames = Mp3Frames(file, 0);
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(frames.front().infoHeader);
    EXPECT_EQ(file, Encode(Request("plain.mp3"), test::MusicPcmSeconds(0.5))) << "the same file as under a plain name";
}

TEST(ByteFifo, KeepsBytesInOrderAcrossTheWrapAndStoresOnlyWhatFits)
{
    ByteFifo fifo(1000);
    std::deque<char> model;
    char next = 0;
    std::uint32_t seed = 7;
    for (int round = 0; round < 2000; ++round) {
        seed = seed * 1103515245u + 12345u;
        std::string in((seed >> 16) % 700, '\0');
        for (char& c : in) c = next++;
        const std::size_t stored = fifo.Push(in.data(), in.size());
        EXPECT_EQ(stored, std::min(in.size(), 1000 - model.size()));
        next = static_cast<char>(next - (in.size() - stored));
        model.insert(model.end(), in.begin(), in.begin() + static_cast<std::ptrdiff_t>(stored));
        ASSERT_EQ(fifo.Size(), model.size());

        std::string out((seed >> 8) % 600, '\0');
        const std::size_t taken = fifo.Pop(out.data(), out.size());
        ASSERT_EQ(taken, std::min(out.size(), model.size()));
        for (std::size_t i = 0; i < taken; ++i) {
            ASSERT_EQ(out[i], model.front());
            model.pop_front();
        }
    }
}

TEST_F(Mp3EncoderTest, AMissingModuleIsReportedBeforeTheOverwriteQuestionAndCheckedAgainEachTime)
{
    InFreshProcess([this]() -> std::string {
        WriteFile(dir / "existing.mp3", "keep me");
        TempDir emptyFolder;
        for (const std::string& appPath : {std::string(), emptyFolder.Path().string()}) {
            UseAppPath(appPath);
            for (int attempt = 0; attempt < 2; ++attempt) {
                const std::string message = CreateFails(Request("existing.mp3"));
                if (message != "MP3 libraries are not installed") return "AppPath '" + appPath + "': " + message;
            }
        }
        if (!question.asked.empty()) return "the overwrite question came first";
        if (ReadFile(dir / "existing.mp3") != "keep me") return "the existing file was touched";

        // Installed now: the next file finds it, and it stays loaded.
        UseAppPath(TESSLOW_MODULE_DIR);
        if (const std::string message = CreateFails(Request("existing.mp3")); !message.empty())
            return "installed: " + message;
        if (question.asked.size() != 1) return "the question was not asked once the module was there";
        UseAppPath(emptyFolder.Path().string() + "/");
        if (const std::string message = CreateFails(Request("later.mp3")); !message.empty())
            return "after loading: " + message;
        return {};
    });
}

TEST_F(Mp3EncoderTest, AnIncompleteModuleIsReportedForEveryFile)
{
    InFreshProcess([this]() -> std::string {
        WriteFile(dir / "existing.mp3", "keep me");
        UseAppPath(TESSLOW_TEST_MODULE_DIR "/incomplete");
        for (int attempt = 0; attempt < 3; ++attempt) {
            const std::string message = CreateFails(Request("existing.mp3"));
            if (message != "MP3 libraries are broken") return "attempt " + std::to_string(attempt) + ": '" + message + "'";
        }
        if (!question.asked.empty()) return "the overwrite question came first";
        UseAppPath(TESSLOW_MODULE_DIR);
        return CreateFails(Request("existing.mp3"));
    });
}

TEST_F(Mp3EncoderTest, AModuleWithoutTheWideInfoTagEntryStillWritesTheInformationHeader)
{
    InFreshProcess([this]() -> std::string {
        UseAppPath(TESSLOW_TEST_MODULE_DIR "/narrow");
        const std::string file = Encode(Request("narrow.mp3"), test::MusicPcmSeconds(0.5));
        const auto frames = Mp3Frames(file, 0);
        if (frames.empty() || !frames.front().infoHeader) return "no information header";
        return {};
    });
}

TEST_F(Mp3EncoderTest, AWriteThatFailsIsAWriteError)
{
    InFreshProcess([this]() -> std::string {
        // Files may not grow past 4 KiB: the tag fits, the audio does not.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        AlbumInfo tags;
        tags.trackTitles = {"Too long"};
        const std::string pcm = test::MusicPcmSeconds(2.0);
        try {
            auto encoder = CreateEncoder(Request("full.mp3", tags));
            encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
            encoder->Finish();
            return "no error";
        } catch (const EncoderException& e) {
            return std::string(e.what()) == "write error (the file is larger than allowed: File too large)" ? "" : e.what();
        }
    });
}

}  // namespace
}  // namespace tesslow
