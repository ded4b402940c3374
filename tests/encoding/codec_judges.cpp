#include "codec_judges.h"

#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tesslow::test {

std::unique_ptr<Encoder> MakeEncoder(FormatCode format, const std::filesystem::path& path, const AlbumInfo& tags,
                                     std::uint32_t trackIndex, QualityPreset preset, std::int32_t qualityValue)
{
    static OverwritePolicy policy;
    EncoderRequest request;
    request.format = format;
    request.path = path.string();
    request.tags = tags;
    request.trackIndex = trackIndex;
    request.preset = preset;
    request.qualityValue = qualityValue;
    request.moduleFolder = TESSLOW_MODULE_DIR;
    request.overwrite = &policy;
    return CreateEncoder(request);
}

void EncodeWhole(Encoder& encoder, const std::string& pcm, std::size_t blockBytes)
{
    for (std::size_t at = 0; at < pcm.size(); at += blockBytes) {
        const auto count = static_cast<unsigned>(std::min(blockBytes, pcm.size() - at));
        unsigned consumed = 0;
        encoder.Write(pcm.data() + at, count, &consumed);
        EXPECT_EQ(consumed, count);
    }
    encoder.Finish();
}

void InFreshProcess(const std::function<std::string()>& scenario)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string failure = scenario();
            std::fprintf(stderr, "%s", failure.c_str());
            std::_Exit(failure.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "^$");
}

std::string CreateFails(const EncoderRequest& request)
{
    try {
        CreateEncoder(request);
        return {};
    } catch (const EncoderException& e) {
        return e.what();
    }
}

ProgramResult Judge(const std::vector<std::string>& command)
{
    ProgramResult result = RunCommand(command);
    EXPECT_EQ(result.exitCode, 0) << command[0] << " failed: " << result.err;
    return result;
}

VorbisTags ReadVorbisTags(const std::filesystem::path& file)
{
    static const char* const kScript = R"(
import sys, mutagen
tags = mutagen.File(sys.argv[1]).tags
out = sys.stdout.buffer
if tags is not None:
    out.write(b"vendor=" + tags.vendor.encode() + b"\n")
    for name, value in list.__iter__(tags):
        out.write(name.encode() + b"=" + value.encode() + b"\n")
)";
    const ProgramResult result = Judge({"/usr/bin/python3", "-c", kScript, file.string()});
    VorbisTags tags;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!tags.present) {
            tags.present = true;
            tags.vendor = line.substr(line.find('=') + 1);
        } else {
            tags.entries.push_back(line);
        }
    }
    return tags;
}

double SnrDb(const std::string& reference, const std::string& decoded)
{
    const std::size_t samples = std::min(reference.size(), decoded.size()) / 2;
    auto at = [](const std::string& bytes, std::size_t i) {
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                                             static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    };
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const double r = at(reference, i), d = at(decoded, i);
        signal += r * r;
        noise += (r - d) * (r - d);
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

std::string Md5Hex(const std::string& bytes)
{
    TempDir dir;
    WriteFile(dir / "data", bytes);
    const ProgramResult result = Judge({"md5sum", (dir / "data").string()});
    return result.out.substr(0, 32);
}

}  // namespace tesslow::test
