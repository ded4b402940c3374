// The Monkey's Audio compressor judged by two decoders: Debian's FFmpeg with
// CRC checks that make any error fatal, and the strict decoder of the tests,
// which also holds the frame boundaries, the seek table and the MD5 to
// account. Signals are chosen to reach every path of the coder: silence, an
// escape after silence, noise that needs the widest pivots, channels that
// cancel, music, and frame counts at the edges.

#include "ape_strict_decoder.h"
#include "codec_judges.h"
#include "encoding/ape/ape_compress.h"
#include "encoding/ape/ape_tag.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;

// The compressor's file, through stdio.
class FileIO final : public ape::CIO {
public:
    explicit FileIO(const fs::path& path, const char* mode = "w+b") : file_(std::fopen(path.c_str(), mode)) {}
    ~FileIO() override
    {
        if (file_) std::fclose(file_);
    }
    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int Read(void* buffer, unsigned bytes, unsigned* got) override
    {
        *got = static_cast<unsigned>(std::fread(buffer, 1, bytes, file_));
        return std::ferror(file_) ? ape::kErrorIoRead : 0;
    }
    int Write(const void* buffer, unsigned bytes, unsigned* written) override
    {
        *written = static_cast<unsigned>(std::fwrite(buffer, 1, bytes, file_));
        return *written == bytes ? 0 : ape::kErrorIoWrite;
    }
    int Seek(std::int32_t distance, int method) override { return std::fseek(file_, distance, method); }
    int Create(const char*) override { return 0; }
    int Delete() override { return 0; }
    int SetEOF() override
    {
        std::fflush(file_);
        return ::ftruncate(fileno(file_), std::ftell(file_)) == 0 ? 0 : ape::kErrorIoWrite;
    }
    std::uint32_t GetPosition() override { return static_cast<std::uint32_t>(std::ftell(file_)); }
    std::uint32_t GetSize() override
    {
        const long at = std::ftell(file_);
        std::fseek(file_, 0, SEEK_END);
        const long size = std::ftell(file_);
        std::fseek(file_, at, SEEK_SET);
        return static_cast<std::uint32_t>(size);
    }
    int GetName(char*) override { return 0; }

private:
    std::FILE* file_;
};

void Encode(const fs::path& path, const std::string& pcm, int channels, int level)
{
    FileIO io(path);
    ape::WAVEFORMATEX format;
    format.nChannels = static_cast<std::uint16_t>(channels);
    format.nBlockAlign = static_cast<std::uint16_t>(2 * channels);
    format.nAvgBytesPerSec = 44100u * format.nBlockAlign;
    ape::CAPECompress compressor;
    ASSERT_EQ(compressor.Start(&io, &format, -1, level, nullptr, -1), 0);
    for (std::size_t at = 0; at < pcm.size(); at += 61152) {
        const std::size_t chunk = std::min<std::size_t>(61152, pcm.size() - at);
        ASSERT_EQ(compressor.AddData(reinterpret_cast<const unsigned char*>(pcm.data() + at), static_cast<int>(chunk)),
                  0);
    }
    ASSERT_EQ(compressor.Finish(nullptr, 0, 0), 0);
}

std::string FfmpegDecode(const fs::path& file)
{
    return Judge({"ffmpeg", "-v", "error", "-xerror", "-err_detect", "crccheck+explode", "-i", file.string(), "-f",
                  "s16le", "-acodec", "pcm_s16le", "-"})
        .out;
}

void PutSample(std::string& out, int value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

std::string Silence(std::size_t blocks) { return std::string(blocks * 4, '\0'); }

std::string ClickAfterSilence()
{
    std::string pcm = Silence(30000);
    for (int value : {32767, -32768, 32767, -32768}) {
        PutSample(pcm, value);
        PutSample(pcm, -value - 1);
    }
    return pcm + Silence(30000);
}

// Full-scale noise of random signs, the channels in opposition: the side
// channel swings over 17 bits, so residuals need pivots beyond 16 bits.
std::string WhiteNoise(std::size_t blocks)
{
    std::mt19937 random(7);
    std::string pcm;
    for (std::size_t i = 0; i < blocks; ++i) {
        const int left = random() & 1 ? 32767 : -32768;
        PutSample(pcm, left);
        PutSample(pcm, -left - 1);
    }
    return pcm;
}

std::string IdenticalChannels(std::size_t blocks)
{
    std::string pcm = MusicPcm(blocks, 5);
    for (std::size_t i = 0; i < pcm.size(); i += 4) pcm.replace(i + 2, 2, pcm, i, 2);
    return pcm;
}

struct Case {
    const char* name;
    std::string (*pcm)();
    int channels = 2;
    int level = 2000;
};

const Case kCases[] = {
    {"Silence", [] { return Silence(100000); }},
    {"FullScaleClickAfterSilence", ClickAfterSilence},
    {"FullScaleWhiteNoiseChannelsOpposed", [] { return WhiteNoise(80000); }},
    {"IdenticalChannels", [] { return IdenticalChannels(60000); }},
    {"Music", [] { return MusicPcm(44100 * 3, 2); }},
    {"FinalFrameOfOneBlock", [] { return MusicPcm(73728 + 1, 3); }},
    {"ExactMultipleOfTheFrame", [] { return MusicPcm(2 * 73728, 4); }},
    {"MonoMusic", [] { return MusicPcmSeconds(2, 1, 6); }, 1},
    {"LevelFast", [] { return MusicPcm(44100 * 2, 7); }, 2, 1000},
    {"LevelHigh", [] { return MusicPcm(44100 * 2, 8); }, 2, 3000},
    {"LevelExtraHighTwoFrames", [] { return MusicPcm(4 * 73728 + 500, 9); }, 2, 4000},
};

class ApeFormat : public ::testing::TestWithParam<Case> {};

TEST_P(ApeFormat, BothDecodersGiveBackEverySample)
{
    TempDir dir;
    const Case& test = GetParam();
    const std::string pcm = test.pcm();
    const fs::path file = dir / "t.ape";
    Encode(file, pcm, test.channels, test.level);

    EXPECT_TRUE(FfmpegDecode(file) == pcm) << "FFmpeg";
    const StrictApeResult strict = DecodeApeStrictly(file);
    EXPECT_EQ(strict.error, "");
    EXPECT_TRUE(strict.pcm == pcm) << "strict decoder";
    EXPECT_EQ(strict.channels, test.channels);
    EXPECT_EQ(strict.level, test.level);
    EXPECT_EQ(strict.blocks, pcm.size() / (2 * test.channels));
}

INSTANTIATE_TEST_SUITE_P(Signals, ApeFormat, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(ApeFormatJudges, AFlippedBitInAFrameIsCaughtByBothDecoders)
{
    TempDir dir;
    const fs::path file = dir / "t.ape";
    Encode(file, MusicPcm(44100, 11), 2, 2000);
    std::string bytes = ReadFile(file);
    bytes[bytes.size() - 2000] ^= 0x10;
    WriteFile(file, bytes);

    EXPECT_NE(RunCommand({"ffmpeg", "-v", "quiet", "-xerror", "-err_detect", "crccheck+explode", "-i", file.string(),
                          "-f", "null", "-"})
                  .exitCode,
              0);
    EXPECT_NE(DecodeApeStrictly(file).error, "");
}

TEST(ApeTag, ASecondTagReplacesTheFirstKeepingItsFieldsAndRefusesNamesApeCannotCarry)
{
    TempDir dir;
    const fs::path file = dir / "t.ape";
    Encode(file, MusicPcm(5000, 12), 2, 2000);
    auto tag = [&](const std::vector<std::pair<std::string, std::string>>& fields, bool utf8) {
        FileIO io(file, "r+b");
        ape::CAPETag writer(&io);
        for (const auto& [name, value] : fields) EXPECT_EQ(writer.SetFieldString(name, value, utf8), 0) << name;
        for (const char* bad : {"T", "TAG", "id3", "Tïtle", "Line\nbreak"})
            EXPECT_EQ(writer.SetFieldString(bad, "x", true), ape::kErrorBadParameter) << bad;
        EXPECT_EQ(writer.Save(), 0);
    };
    tag({{"Title", "First"}, {"Artist", "Someone"}, {"Genre", "Jazz"}}, true);
    // Latin-1 "Café", a replaced field, a removed one and a new one: the new
    // tag is a byte shorter than the old, and the file ends with it.
    tag({{"title", "Caf\xE9"}, {"Genre", ""}, {"Year", "1999"}}, false);

    const ProgramResult read = Judge({"/usr/bin/python3", "-c", R"(
import sys
from mutagen.apev2 import APEv2
for key, value in APEv2(sys.argv[1]).items():
    print(key + "=" + str(value))
)",
                                      file.string()});
    EXPECT_EQ(read.out, "Title=Café\nArtist=Someone\nYear=1999\n");
    const std::string bytes = ReadFile(file);
    std::size_t tags = 0;
    for (std::size_t at = bytes.find("APETAGEX"); at != std::string::npos; at = bytes.find("APETAGEX", at + 1)) ++tags;
    EXPECT_EQ(tags, 2u) << "one header and one footer";
    EXPECT_EQ(DecodeApeStrictly(file).error, "");
}

}  // namespace
}  // namespace tesslow
