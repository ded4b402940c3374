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

std::string DecodeFlac(const fs::path& flac, const std::string& sign = "signed")
{
    const fs::path raw = flac.string() + ".raw";
    Judge({"flac", "-d", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=" + sign, "-o", raw.string(),
           flac.string()});
    return ReadFile(raw);
}

TEST(FlacEncoder, DecodesToExactlyTheRippedPcmWithTheRightStreamInfo)
{
    TempDir dir;
    const std::size_t frames = 44100 * 3 + 1234;
    const std::string pcm = MusicPcm(frames);
    {
        auto encoder = MakeEncoder(FormatCode::Flac, dir / "t.flac");
        // Blocks that shrink and grow again: the conversion buffer is reused
        // and regrown without stale samples leaking into the stream. The last
        // block carries 3 bytes of an incomplete frame, which are dropped.
        const std::size_t sizes[] = {2352, 61152, 400, 61152 * 3, 4};
        std::size_t at = 0;
        for (std::size_t size : sizes) {
            encoder->Write(pcm.data() + at, static_cast<unsigned>(size), nullptr);
            at += size;
        }
        const std::string rest = pcm.substr(at) + "xyz";
        unsigned consumed = 0;
        encoder->Write(rest.data(), static_cast<unsigned>(rest.size()), &consumed);
        EXPECT_EQ(consumed, rest.size());
        encoder->Finish();
    }
    EXPECT_EQ(DecodeFlac(dir / "t.flac"), pcm);  // flac -d also checks the stored MD5
    const ProgramResult info =
        Judge({"metaflac", "--show-total-samples", "--show-md5sum", "--show-sample-rate", "--show-channels",
               "--show-bps", (dir / "t.flac").string()});
    EXPECT_EQ(info.out, std::to_string(frames) + "\n" + Md5Hex(pcm) + "\n44100\n2\n16\n");
    const ProgramResult probe = Judge({"ffprobe", "-v", "error", "-show_entries", "stream=codec_name,sample_rate",
                                       "-of", "compact", (dir / "t.flac").string()});
    EXPECT_EQ(probe.out, "stream|codec_name=flac|sample_rate=44100\n");
}

TEST(FlacEncoder, EightBitUnsignedInputKeepsEverySample)
{
    TempDir dir;
    const std::string pcm16 = MusicPcm(30000, 7);
    std::string pcm8;
    for (std::size_t i = 1; i < pcm16.size(); i += 2) pcm8.push_back(static_cast<char>(pcm16[i] + 128));
    {
        auto encoder = MakeEncoder(FormatCode::Flac, dir / "8.flac");
        encoder->bitsPerSample = 8;
        EncodeWhole(*encoder, pcm8, 10000);
    }
    EXPECT_EQ(DecodeFlac(dir / "8.flac", "unsigned"), pcm8);
    const ProgramResult info = Judge({"metaflac", "--show-bps", "--show-total-samples", (dir / "8.flac").string()});
    EXPECT_EQ(info.out, "8\n30000\n");
}

TEST(FlacEncoder, TheQualityPresetHasNoEffect)
{
    TempDir dir;
    const std::string pcm = MusicPcm(20000, 3);
    AlbumInfo tags;
    tags.trackTitles = {"One"};
    auto low = MakeEncoder(FormatCode::Flac, dir / "low.flac", tags, 0, QualityPreset::Low);
    EncodeWhole(*low, pcm);
    auto custom = MakeEncoder(FormatCode::Flac, dir / "custom.flac", tags, 0, QualityPreset::Custom, 350000);
    EncodeWhole(*custom, pcm);
    low.reset();
    custom.reset();
    EXPECT_EQ(ReadFile(dir / "low.flac"), ReadFile(dir / "custom.flac"));
}

TEST(FlacEncoder, ACancelledTrackIsLeftAsItIsAndFinishingTwiceIsHarmless)
{
    TempDir dir;
    {
        auto encoder = MakeEncoder(FormatCode::Flac, dir / "empty.flac");
        encoder->Finish();
        encoder->Finish();
    }
    const std::string pcm = MusicPcm(44100);
    {
        auto encoder = MakeEncoder(FormatCode::Flac, dir / "cancelled.flac");
        encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
    }  // destroyed without Finish
    ASSERT_TRUE(fs::exists(dir / "cancelled.flac"));
    EXPECT_GT(fs::file_size(dir / "cancelled.flac"), 42u);  // at least the headers
}

TEST(FlacEncoder, AFullDiskIsAWriteErrorThatSaysWhy)
{
    TempDir dir;
    const std::string pcm = MusicPcm(44100);
    // The headers (with their padding) fit; the first audio frame does not.
    auto encoder = MakeEncoder(FormatCode::Flac, dir / "full.flac");
    FileSizeLimit limit(2000);
    try {
        for (int i = 0; i < 3; ++i) encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
        FAIL() << "a failed write went unnoticed";
    } catch (const EncoderException& e) {
        EXPECT_STREQ(e.what(), "write error (the file is larger than allowed: File too large)");
    }
}

TEST(FlacEncoder, AStreamTheLibraryRefusesFailsInitialisationEveryTime)
{
    TempDir dir;
    const std::string pcm = MusicPcm(1000);
    auto expectRefused = [&](const char* name, std::int32_t rate, std::int32_t bits) {
        auto encoder = MakeEncoder(FormatCode::Flac, dir / name);
        encoder->sampleRate = rate;
        encoder->bitsPerSample = bits;
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
                FAIL() << name;
            } catch (const EncoderException& e) {
                EXPECT_STREQ(e.what(), "flac encoder initialization failed");
            }
        }
        EXPECT_NO_THROW(encoder->Finish());
    };
    expectRefused("rate.flac", 0, 16);       // refused by the library
    expectRefused("bits.flac", 44100, 24);   // only 8 and 16 bits are converted
    EXPECT_EQ(fs::file_size(dir / "rate.flac"), 0u);
}

}  // namespace
}  // namespace tesslow
