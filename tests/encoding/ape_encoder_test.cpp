// The Monkey's Audio encoder as the rip worker uses it: the tag that players
// read (mutagen as a second judge beside FFmpeg), the quality preset that
// changes nothing, and a track as long as a CD holds.

#include "ape_strict_decoder.h"
#include "codec_judges.h"
#include "encoding/encoder_exception.h"
#include "support/file_size_limit.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <filesystem>
#include <future>
#include <memory>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;

TEST(ApeEncoder, TheTagListsTheTrackAmongAllTheDiscsTracksInFieldOrder)
{
    TempDir dir;
    AlbumInfo tags;
    tags.artist = "Mörk Ensemble";
    tags.album = "東京 Nights";
    tags.year = "1987";
    tags.genre = "Ambient";
    tags.comment = "Remastered";
    for (int i = 1; i <= 12; ++i) tags.trackTitles.push_back("Song " + std::to_string(i));
    tags.trackTitles[4] = "Crème brûlée";
    const std::string pcm = MusicPcm(20000, 2);
    auto encoder = MakeEncoder(FormatCode::Ape, dir / "t.ape", tags, 4);
    EncodeWhole(*encoder, pcm);
    encoder.reset();

    const ProgramResult read = Judge({"/usr/bin/python3", "-c", R"(
import sys
from mutagen.monkeysaudio import MonkeysAudio
f = MonkeysAudio(sys.argv[1])
print(f.info.version, f.info.channels, f.info.sample_rate, f.info.bits_per_sample)
for key, value in f.tags.items():
    print(key + "=" + str(value))
)",
                                      (dir / "t.ape").string()});
    EXPECT_EQ(read.out,
              "3.99 2 44100 16\nTitle=Crème brûlée\nArtist=Mörk Ensemble\nAlbum=東京 Nights\nTrack=5/12\n"
              "Year=1987\nGenre=Ambient\nComment=Remastered\n");
    const StrictApeResult strict = DecodeApeStrictly(dir / "t.ape");
    EXPECT_EQ(strict.error, "");
    EXPECT_TRUE(strict.pcm == pcm);
}

TEST(ApeEncoder, TheQualityPresetChangesNothing)
{
    TempDir dir;
    const std::string pcm = MusicPcm(30000, 3);
    AlbumInfo tags;
    tags.trackTitles = {"One"};
    auto low = MakeEncoder(FormatCode::Ape, dir / "low.ape", tags, 0, QualityPreset::Low);
    EncodeWhole(*low, pcm);
    auto custom = MakeEncoder(FormatCode::Ape, dir / "custom.ape", tags, 0, QualityPreset::Custom, 320000);
    EncodeWhole(*custom, pcm);
    low.reset();
    custom.reset();
    EXPECT_TRUE(ReadFile(dir / "low.ape") == ReadFile(dir / "custom.ape"));
}

TEST(ApeEncoder, AFrameThatCannotBeWrittenIsAWriteErrorThatSaysWhy)
{
    TempDir dir;
    const std::string pcm = MusicPcm(73728 + 100, 5);  // one whole frame, written as soon as it is full
    auto encoder = MakeEncoder(FormatCode::Ape, dir / "full.ape");
    FileSizeLimit full(30000);
    try {
        EncodeWhole(*encoder, pcm);
        FAIL() << "a frame that did not reach the file went unnoticed";
    } catch (const EncoderException& e) {
        EXPECT_STREQ(e.what(), "write error (the file is larger than allowed: File too large)");
    }
}

// 74 minutes, the longest track a standard CD holds: the seek table reserved
// before the length is known has room, and every frame decodes. The audio is
// 20 seconds of music over and over, fed and checked as a stream.
TEST(ApeEncoder, ASeventyFourMinuteTrackDecodesWhole)
{
#ifdef TESSLOW_SANITIZED_BUILD
    GTEST_SKIP() << "too slow under a sanitizer; the plain build runs it";
#endif
    TempDir dir;
    const std::string music = MusicPcm(20 * 44100, 4);
    const int repeats = 74 * 3;
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> md5(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    EVP_DigestInit_ex(md5.get(), EVP_md5(), nullptr);
    {
        auto encoder = MakeEncoder(FormatCode::Ape, dir / "long.ape");
        for (int i = 0; i < repeats; ++i) {
            for (std::size_t at = 0; at < music.size(); at += 61152) {
                const auto count = static_cast<unsigned>(std::min<std::size_t>(61152, music.size() - at));
                encoder->Write(music.data() + at, count, nullptr);
            }
            EVP_DigestUpdate(md5.get(), music.data(), music.size());
        }
        encoder->Finish();
    }
    unsigned char digest[16];
    EVP_DigestFinal_ex(md5.get(), digest, nullptr);
    std::string expected;
    for (unsigned char byte : digest) expected += "0123456789abcdef"[byte >> 4], expected += "0123456789abcdef"[byte & 15];

    // Both decoders at once: FFmpeg in its own process.
    auto ffmpeg = std::async(std::launch::async, [&] {
        return RunCommand({"ffmpeg", "-v", "error", "-xerror", "-err_detect", "crccheck+explode", "-i",
                           (dir / "long.ape").string(), "-f", "md5", "-"});
    });
    const StrictApeResult strict = DecodeApeStrictly(dir / "long.ape", false);
    EXPECT_EQ(strict.error, "");
    EXPECT_EQ(strict.blocks, std::uint64_t{music.size()} / 4 * repeats);
    EXPECT_EQ(strict.frames, 2656u);
    EXPECT_GE(strict.seekEntries, strict.frames);
    EXPECT_EQ(strict.pcmMd5, expected);
    const ProgramResult judged = ffmpeg.get();
    EXPECT_EQ(judged.exitCode, 0) << judged.err;
    EXPECT_EQ(judged.out, "MD5=" + expected + "\n");
}

}  // namespace
}  // namespace tesslow
