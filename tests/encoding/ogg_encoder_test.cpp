#include "codec_judges.h"
#include "encoding/encoder_exception.h"
#include "support/file_size_limit.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::string DecodeOgg(const fs::path& ogg)
{
    const fs::path raw = ogg.string() + ".raw";
    Judge({"oggdec", "-Q", "-R", "-e", "0", "-b", "16", "-s", "1", "-o", raw.string(), ogg.string()});
    return ReadFile(raw);
}

// ogginfo's report, which also checks the stream's framing: it warns when the
// headers do not end a page of their own.
std::string OggInfo(const fs::path& ogg)
{
    const ProgramResult info = Judge({"ogginfo", ogg.string()});
    EXPECT_EQ(info.out.find("WARNING"), std::string::npos) << info.out;
    EXPECT_EQ(info.out.find("ERROR"), std::string::npos) << info.out;
    return info.out;
}

double NominalKbps(const std::string& info)
{
    const std::string label = "Nominal bitrate: ";
    const std::size_t at = info.find(label);
    return at == std::string::npos ? -1 : std::stod(info.substr(at + label.size()));
}

TEST(OggEncoder, DecodesToEveryFedSampleCloseToTheInput)
{
    TempDir dir;
    const std::size_t frames = 44100 * 3 + 777;
    const std::string pcm = MusicPcm(frames, 5);
    {
        auto encoder = MakeEncoder(FormatCode::Ogg, dir / "t.ogg");
        const std::size_t half = 61152 * 2;
        encoder->Write(pcm.data(), static_cast<unsigned>(half), nullptr);
        // Shorter than a frame: dropped without ending the stream.
        encoder->Write("ab", 2, nullptr);
        // The incomplete last frame of a block is dropped too.
        const std::string rest = pcm.substr(half) + "xyz";
        unsigned consumed = 0;
        encoder->Write(rest.data(), static_cast<unsigned>(rest.size()), &consumed);
        EXPECT_EQ(consumed, rest.size());
        encoder->Finish();
    }
    const std::string info = OggInfo(dir / "t.ogg");
    EXPECT_NE(info.find("Channels: 2\nRate: 44100"), std::string::npos) << info;
    const std::string decoded = DecodeOgg(dir / "t.ogg");
    EXPECT_EQ(decoded.size(), frames * 4);
    EXPECT_GT(SnrDb(pcm, decoded), 15.0);
    const ProgramResult probe = Judge({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                                       "stream=codec_name,duration_ts", "-of", "compact", (dir / "t.ogg").string()});
    EXPECT_EQ(probe.out, "stream|codec_name=vorbis|duration_ts=" + std::to_string(frames) + "\n");
}

TEST(OggEncoder, TwoFilesOfOneRipBothHaveSerialNumberZero)
{
    TempDir dir;
    AlbumInfo tags;
    tags.trackTitles = {"A", "B"};
    for (std::uint32_t track = 0; track < 2; ++track) {
        auto encoder = MakeEncoder(FormatCode::Ogg, dir / (std::to_string(track) + ".ogg"), tags, track);
        EncodeWhole(*encoder, MusicPcm(20000, track + 1));
    }
    for (const char* name : {"0.ogg", "1.ogg"}) {
        const std::string info = OggInfo(dir / name);
        EXPECT_NE(info.find("New logical stream (#1, serial: 00000000): type vorbis"), std::string::npos) << info;
        EXPECT_EQ(info.find("New logical stream (#2"), std::string::npos) << info;
    }
}

TEST(OggEncoder, ThePresetChoosesTheBitRate)
{
    TempDir dir;
    const std::string pcm = MusicPcm(22050, 2);
    auto encode = [&](QualityPreset preset, std::int32_t value) {
        const fs::path path = dir / ("q" + std::to_string(static_cast<int>(preset)) + "-" + std::to_string(value) + ".ogg");
        auto encoder = MakeEncoder(FormatCode::Ogg, path, {}, 0, preset, value);
        EncodeWhole(*encoder, pcm);
        encoder.reset();
        EXPECT_EQ(DecodeOgg(path).size(), pcm.size());
        return OggInfo(path);
    };
    const double low = NominalKbps(encode(QualityPreset::Low, 350000));
    const double medium = NominalKbps(encode(QualityPreset::Medium, 0));
    const double high = NominalKbps(encode(QualityPreset::High, 0));
    EXPECT_LT(low, medium);
    EXPECT_LT(medium, high);
    EXPECT_EQ(NominalKbps(encode(QualityPreset::Custom, 112000)), 112.0);
    EXPECT_EQ(NominalKbps(encode(QualityPreset::Custom, 350000)), 350.0);
}

TEST(OggEncoder, ASetUpTheLibraryRefusesIsALogicFaultAndWritesNothing)
{
    TempDir dir;
    const std::string pcm = MusicPcm(1000);
    for (std::int32_t value : {0, -128000}) {
        const fs::path path = dir / ("bad" + std::to_string(value) + ".ogg");
        auto encoder = MakeEncoder(FormatCode::Ogg, path, {}, 0, QualityPreset::Custom, value);
        try {
            encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
            FAIL() << value;
        } catch (const EncoderException& e) {
            EXPECT_STREQ(e.what(), "internal vorbis logic fault");
        }
        encoder.reset();
        EXPECT_EQ(fs::file_size(path), 0u);
    }
    auto encoder = MakeEncoder(FormatCode::Ogg, dir / "24bit.ogg");
    encoder->bitsPerSample = 24;  // only 8 and 16 bits are converted
    EXPECT_THROW(encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr), EncoderException);
}

TEST(OggEncoder, EightBitUnsignedInputIsScaledAroundTheMiddle)
{
    TempDir dir;
    const std::string pcm16 = MusicPcm(44100, 9);
    std::string pcm8, expected16;
    for (std::size_t i = 1; i < pcm16.size(); i += 2) {
        pcm8.push_back(static_cast<char>(pcm16[i] + 128));
        expected16 += std::string{'\0', pcm16[i]};
    }
    {
        auto encoder = MakeEncoder(FormatCode::Ogg, dir / "8.ogg");
        encoder->bitsPerSample = 8;
        EncodeWhole(*encoder, pcm8, 15000);
    }
    const std::string decoded = DecodeOgg(dir / "8.ogg");
    EXPECT_EQ(decoded.size(), pcm16.size());
    EXPECT_GT(SnrDb(expected16, decoded), 15.0);
}

TEST(OggEncoder, ACancelledTrackIsLeftAsItIsAndFinishingTwiceIsHarmless)
{
    TempDir dir;
    const std::string pcm = MusicPcm(44100);
    {
        auto encoder = MakeEncoder(FormatCode::Ogg, dir / "cancelled.ogg");
        encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
    }  // destroyed without Finish: the codec state is released all the same
    EXPECT_GT(fs::file_size(dir / "cancelled.ogg"), 0u);
    {
        auto encoder = MakeEncoder(FormatCode::Ogg, dir / "twice.ogg");
        encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
        encoder->Finish();
        encoder->Finish();  // nothing left to release
    }
    EXPECT_EQ(DecodeOgg(dir / "twice.ogg").size(), pcm.size());
}

TEST(OggEncoder, AFullDiskIsAWriteError)
{
    TempDir dir;
    const std::string pcm = MusicPcm(44100);
    for (rlim_t limit : {rlim_t{100}, rlim_t{6000}}) {  // in the headers, then in the audio
        auto encoder = MakeEncoder(FormatCode::Ogg, dir / ("full" + std::to_string(limit) + ".ogg"));
        FileSizeLimit full(limit);
        try {
            for (int i = 0; i < 4; ++i) encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
            encoder->Finish();
            FAIL() << "a failed write went unnoticed";
        } catch (const EncoderException& e) {
            EXPECT_STREQ(e.what(), "write error (the file is larger than allowed: File too large)");
        }
    }
}

}  // namespace
}  // namespace tesslow
