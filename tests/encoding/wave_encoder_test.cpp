#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "support/private_mount.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>
#include <numeric>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

std::uint32_t Le32(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint8_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}

class WaveEncoderTest : public ::testing::Test {
protected:
    std::unique_ptr<Encoder> Make(const std::string& name, AlbumInfo tags = {})
    {
        EncoderRequest request;
        request.format = FormatCode::Wav;
        request.path = (dir / name).string();
        request.tags = std::move(tags);
        request.trackIndex = 0;
        request.overwrite = &policy;
        return CreateEncoder(request);
    }
    TempDir dir;
    OverwritePolicy policy;
};

TEST_F(WaveEncoderTest, HeaderIsFortySixBytesWithAnEighteenByteFormatChunk)
{
    std::string pcm(10000, '\0');
    std::iota(pcm.begin(), pcm.end(), 0);
    {
        AlbumInfo tags;
        tags.artist = "never written";
        tags.trackTitles = {"Home"};
        auto encoder = Make("t.wav", tags);
        unsigned consumed = 0;
        encoder->Write(pcm.data(), 61, &consumed);  // odd block sizes pass unchanged
        EXPECT_EQ(consumed, 61u);
        encoder->Write(pcm.data() + 61, 9939, nullptr);
        encoder->Finish();
    }
    const std::string file = ReadFile(dir / "t.wav");
    ASSERT_EQ(file.size(), 46u + 10000u);
    const std::string expectedHeader = std::string("RIFF") + std::string("\x36\x27\x00\x00", 4) + "WAVEfmt " +
                                       std::string("\x12\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00", 12) +
                                       std::string("\x10\xb1\x02\x00\x04\x00\x10\x00\x00\x00", 10) + "data" +
                                       std::string("\x10\x27\x00\x00", 4);
    EXPECT_EQ(file.substr(0, 46), expectedHeader);
    EXPECT_EQ(file.substr(46), pcm);
    EXPECT_EQ(file.find("never written"), std::string::npos);
}

TEST_F(WaveEncoderTest, AnOddDataSizeGetsAPadByteCountedByTheRiffSize)
{
    {
        auto encoder = Make("odd.wav");
        encoder->Write("abc", 3, nullptr);
        encoder->Finish();
    }
    const std::string file = ReadFile(dir / "odd.wav");
    ASSERT_EQ(file.size(), 46u + 4u);
    EXPECT_EQ(Le32(file, 4), 38u + 3u + 1u);
    EXPECT_EQ(Le32(file, 42), 3u);
    EXPECT_EQ(file.back(), '\0');
}

TEST_F(WaveEncoderTest, ACancelledTrackStillHasCorrectSizes)
{
    {
        auto encoder = Make("cancelled.wav");
        std::string pcm(2352 * 3, 'x');
        encoder->Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
    }  // destroyed without Finish
    const std::string file = ReadFile(dir / "cancelled.wav");
    EXPECT_EQ(Le32(file, 4), 38u + 2352u * 3);
    EXPECT_EQ(Le32(file, 42), 2352u * 3);
}

TEST(EncoderFactory, InvalidFormatCodesAreRefused)
{
    TempDir dir;
    OverwritePolicy policy;
    for (std::uint32_t code : {0u, 7u}) {
        EncoderRequest request;
        request.format = static_cast<FormatCode>(code);
        request.path = (dir / "x").string();
        request.overwrite = &policy;
        try {
            CreateEncoder(request);
            FAIL();
        } catch (const EncoderException& e) {
            EXPECT_STREQ(e.what(), "encoder not available");
        }
        try {
            TargetExtension(request.format);
            FAIL();
        } catch (const EncoderException& e) {
            EXPECT_STREQ(e.what(), "unknown target format");
        }
        EXPECT_FALSE(fs::exists(dir / "x"));
    }
    EXPECT_EQ(TargetExtension(FormatCode::Flac), ".flac");
    EXPECT_EQ(TargetExtension(FormatCode::Ape), ".ape");
}

TEST(EncoderFactory, AFileThatCannotBeCreatedSaysWhy)
{
    TempDir dir;
    test::WriteFile(dir / "plain-file", "x");
    OverwritePolicy policy;
    EncoderRequest request;
    request.path = (dir / "plain-file" / "sub" / "t.wav").string();
    request.overwrite = &policy;
    try {
        CreateEncoder(request);
        FAIL();
    } catch (const EncoderException& e) {
        EXPECT_STREQ(e.what(), "cannot create file (a file is in the way: Not a directory)");
    }
    // Missing folders are created on the way.
    request.path = (dir / "Artist" / "Album" / "t.wav").string();
    EXPECT_NO_THROW(CreateEncoder(request));
    EXPECT_TRUE(fs::is_regular_file(dir / "Artist" / "Album" / "t.wav"));
}

TEST(EncoderFactory, AFolderThatCannotBeMadeSaysWhyNotThatTheFileIsMissing)
{
    TempDir dir;
    // A read-only file system, seen by a child process alone.
    const std::optional<int> result = test::WithPrivateTmpfs(dir.Path(), "size=64k", MS_RDONLY, [&] {
        OverwritePolicy policy;
        EncoderRequest request;
        request.path = (dir / "Artist" / "t.wav").string();
        request.overwrite = &policy;
        try {
            CreateEncoder(request);
        } catch (const EncoderException& e) {
            return std::string(e.what()) == "cannot create file (the folder is read-only: Read-only file system)" ? 0 : 1;
        }
        return 2;
    });
    if (!result) GTEST_SKIP() << "no user namespaces here to mount a read-only file system in";
    EXPECT_EQ(*result, 0);
}

}  // namespace
}  // namespace tesslow
