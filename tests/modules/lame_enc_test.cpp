// The lame_enc module through its exported entry points, loaded with dlopen
// from the build tree's application folder.

#include "modules/lame_enc/lame_enc.h"
#include "support/mp3_frames.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tesslow {
namespace {

using test::Mp3Frames;
using test::ReadFile;
using test::TempDir;

// The module's entry points, resolved like the encoder resolves them.
struct Module {
    Module()
    {
        handle = ::dlopen(TESSLOW_MODULE_DIR "/" LAME_ENC_MODULE_NAME, RTLD_NOW | RTLD_LOCAL);
        if (!handle) throw std::runtime_error(::dlerror());
        Resolve("beInitStream", init);
        Resolve("beEncodeChunk", encode);
        Resolve("beDeinitStream", deinit);
        Resolve("beCloseStream", close);
        Resolve("beWriteInfoTag", infoTag);
        Resolve("beWriteInfoTagW", infoTagW);
    }
    ~Module() { ::dlclose(handle); }

    template <typename F>
    void Resolve(const char* name, F& function)
    {
        function = reinterpret_cast<F>(::dlsym(handle, name));
        if (!function) throw std::runtime_error(std::string("missing ") + name);
    }

    void* handle;
    BE_INIT_STREAM init;
    BE_ENCODE_CHUNK encode;
    BE_DEINIT_STREAM deinit;
    BE_CLOSE_STREAM close;
    BE_WRITE_INFO_TAG infoTag;
    BE_WRITE_INFO_TAG_W infoTagW;
};

BE_CONFIG Config(int preset, std::uint32_t kbps = 0, bool infoHeader = true, int mode = BE_MP3_MODE_STEREO,
                 std::uint32_t sampleRate = 44100)
{
    BE_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = 1;
    config.dwStructSize = sizeof(BE_CONFIG);
    config.dwSampleRate = sampleRate;
    config.nMode = mode;
    config.nPreset = preset;
    config.dwBitrate = preset == LQP_CBR ? kbps : 0;
    config.dwVbrAbr_bps = kbps * 1000;
    config.bWriteVBRHeader = infoHeader ? 1 : 0;
    return config;
}

// An open stream, closed at the end of the scope.
struct Stream {
    Stream(const Module& m, const BE_CONFIG& config) : module(m)
    {
        result = module.init(&config, &samples, &bufferSize, &handle);
    }
    ~Stream()
    {
        if (result == BE_ERR_SUCCESSFUL) module.close(handle);
    }

    // Encodes all of `pcm` in chunks and flushes; returns the MP3 bytes.
    std::string EncodeAll(const std::string& pcm) const
    {
        std::string out;
        std::string buffer(bufferSize, '\0');
        auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
        for (std::size_t at = 0; at < pcm.size(); at += samples * 2) {
            const std::size_t count = std::min<std::size_t>(samples * 2, pcm.size() - at) / 2;
            std::uint32_t produced = 0;
            EXPECT_EQ(module.encode(handle, static_cast<std::uint32_t>(count),
                                    reinterpret_cast<const std::int16_t*>(pcm.data() + at), bytes, &produced),
                      BE_ERR_SUCCESSFUL);
            out.append(buffer.data(), produced);
        }
        std::uint32_t produced = 0;
        EXPECT_EQ(module.deinit(handle, bytes, &produced), BE_ERR_SUCCESSFUL);
        return out.append(buffer.data(), produced);
    }

    const Module& module;
    BE_ERR result;
    std::uint32_t samples = 0, bufferSize = 0;
    HBE_STREAM handle = 0;
};

class LameEncModule : public ::testing::Test {
protected:
    Module module;
    TempDir dir;
};

TEST_F(LameEncModule, RecordsThatAreNotTheLameFormOrOutOfRangeAreRefused)
{
    BE_CONFIG config = Config(LQP_MEDIUM);
    config.dwConfig = 0;  // the old MP3 form
    EXPECT_EQ(Stream(module, config).result, BE_ERR_INVALID_FORMAT);

    config = Config(LQP_MEDIUM);
    config.dwStructSize = 200;
    EXPECT_EQ(Stream(module, config).result, BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(Stream(module, Config(LQP_MEDIUM, 0, true, 7)).result, BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(Stream(module, Config(LQP_CBR, 0)).result, BE_ERR_INVALID_FORMAT_PARAMETERS);  // no rate
    EXPECT_EQ(Stream(module, Config(99)).result, BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(Stream(module, Config(LQP_MEDIUM, 0, true, BE_MP3_MODE_STEREO, 0)).result,
              BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(module.init(nullptr, nullptr, nullptr, nullptr), BE_ERR_INVALID_FORMAT_PARAMETERS);
}

TEST_F(LameEncModule, ChunkAndBufferSizesFollowTheFrameSizeAndChannels)
{
    const Stream stereo(module, Config(LQP_MEDIUM));
    ASSERT_EQ(stereo.result, BE_ERR_SUCCESSFUL);
    EXPECT_EQ(stereo.samples, 2304u);  // 1152 frames of two samples
    EXPECT_GE(stereo.bufferSize, 1152u * 5 / 4 + 7200);

    const Stream mono(module, Config(LQP_CBR, 128, false, BE_MP3_MODE_MONO));
    ASSERT_EQ(mono.result, BE_ERR_SUCCESSFUL);
    EXPECT_EQ(mono.samples, 1152u);

    const Stream half(module, Config(LQP_CBR, 64, false, BE_MP3_MODE_STEREO, 22050));  // MPEG-2 frames
    ASSERT_EQ(half.result, BE_ERR_SUCCESSFUL);
    EXPECT_EQ(half.samples, 1152u);
    EXPECT_NE(stereo.handle, mono.handle);
}

TEST_F(LameEncModule, UnknownHandlesAndOversizedChunksAreErrors)
{
    std::uint8_t out[16];
    std::uint32_t produced = 77;
    EXPECT_EQ(module.encode(12345, 0, nullptr, out, &produced), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(produced, 0u);
    EXPECT_EQ(module.deinit(12345, out, &produced), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(module.infoTag(12345, "/nonexistent"), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(module.close(0), BE_ERR_INVALID_HANDLE);

    BE_CONFIG config = Config(LQP_MEDIUM);
    std::uint32_t samples = 0, bufferSize = 0;
    HBE_STREAM handle = 0;
    ASSERT_EQ(module.init(&config, &samples, &bufferSize, &handle), BE_ERR_SUCCESSFUL);
    std::string pcm = test::MusicPcmSeconds(0.2);
    std::string buffer(bufferSize, '\0');
    produced = 77;
    EXPECT_EQ(module.encode(handle, samples + 2, reinterpret_cast<const std::int16_t*>(pcm.data()),
                            reinterpret_cast<std::uint8_t*>(buffer.data()), &produced),
              BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(produced, 0u);
    EXPECT_EQ(module.close(handle), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(module.close(handle), BE_ERR_INVALID_HANDLE);  // closed once only
}

TEST_F(LameEncModule, InterleavedStreamsAreIndependent)
{
    const std::string pcm = test::MusicPcmSeconds(1.0);
    const Stream alone(module, Config(LQP_CBR, 128, false));
    const std::string expected = alone.EncodeAll(pcm);

    // Two streams fed alternately give the same bytes as one fed alone.
    const Stream first(module, Config(LQP_CBR, 128, false)), second(module, Config(LQP_CBR, 128, false));
    std::string a, b;
    std::string buffer(first.bufferSize, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
    for (std::size_t at = 0; at < pcm.size(); at += first.samples * 2) {
        const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(first.samples * 2, pcm.size() - at) / 2);
        const auto* samples = reinterpret_cast<const std::int16_t*>(pcm.data() + at);
        std::uint32_t produced = 0;
        module.encode(first.handle, count, samples, bytes, &produced);
        a.append(buffer.data(), produced);
        module.encode(second.handle, count, samples, bytes, &produced);
        b.append(buffer.data(), produced);
    }
    std::uint32_t produced = 0;
    module.deinit(first.handle, bytes, &produced);
    a.append(buffer.data(), produced);
    module.deinit(second.handle, bytes, &produced);
    b.append(buffer.data(), produced);
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
}

TEST_F(LameEncModule, TheInformationHeaderLandsInTheReservedFrameBehindAnId3v2Tag)
{
    const std::string pcm = test::MusicPcmSeconds(1.5);
    // A stand-in ID3v2 tag of 300 bytes in front of the audio.
    std::string tag = std::string("ID3\x04\x00\x00\x00\x00\x02\x22", 10) + std::string(290, 'x');
    ASSERT_EQ(test::Id3v2Size(tag), 300u);

    for (const bool reserved : {true, false}) {
        const Stream stream(module, Config(LQP_ABR, 96, reserved));
        ASSERT_EQ(stream.result, BE_ERR_SUCCESSFUL);
        const std::string audio = stream.EncodeAll(pcm);
        const auto path = dir / (reserved ? "Ø reserved.mp3" : "plain.mp3");
        test::WriteFile(path, tag + audio);
        if (reserved) {
            // The wide path is UTF-32 and names the file by its UTF-8 name.
            std::wstring widePath;
            for (char32_t c : path.u32string()) widePath += static_cast<wchar_t>(c);
            EXPECT_EQ(module.infoTagW(stream.handle, widePath.c_str()), BE_ERR_SUCCESSFUL);
        } else {
            EXPECT_EQ(module.infoTag(stream.handle, path.c_str()), BE_ERR_SUCCESSFUL);
        }
        const std::string file = ReadFile(path);
        ASSERT_EQ(file.size(), tag.size() + audio.size());
        EXPECT_EQ(file.substr(0, 300), tag);
        const auto frames = Mp3Frames(file, 300);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames.front().infoHeader, reserved);
        if (reserved) {
            EXPECT_NE(file.substr(300, frames.front().size), audio.substr(0, frames.front().size));  // rewritten
            EXPECT_EQ(file.substr(300 + frames.front().size), audio.substr(frames.front().size));
        } else {
            EXPECT_EQ(file.substr(300), audio);  // untouched
        }
    }
    const Stream stream(module, Config(LQP_MEDIUM));
    EXPECT_EQ(module.infoTag(stream.handle, (dir / "missing.mp3").c_str()), BE_ERR_INVALID_FORMAT_PARAMETERS);
}

}  // namespace
}  // namespace tesslow
