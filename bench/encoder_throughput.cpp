// Encoder throughput benchmark. Two commands:
//
//   encoder_throughput make-wav OUT.wav MINUTES [SEED]
//       writes MINUTES of deterministic music-like CD audio as a WAV file;
//   encoder_throughput encode FORMAT IN.wav OUT [PRESET]
//       encodes the WAV's audio through the program's encoder for FORMAT
//       (flac, ogg, ape, wav), fed from the file in the rip worker's blocks of 26
//       sectors, and prints the seconds it took. PRESET: low, medium (the
//       default), high or custom:KBPS.
//
// bench/encoder-throughput runs both against the reference encoders.
#include "app/cd_audio.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "encoding/presets.h"
#include "platform/fd_io.h"
#include "platform/unique_fd.h"
#include "support/music_signal.h"

#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tesslow {
namespace {

constexpr std::size_t kBlockBytes = 26 * kSectorBytes;

void Put32(char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>(value >> (8 * i));
}

std::uint32_t Get32(const char* at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(at[i]);
    return value;
}

int MakeWav(const char* path, double minutes, std::uint32_t seed)
{
    const auto frames = static_cast<std::uint64_t>(minutes * 60 * 44100);
    const std::uint64_t dataBytes = frames * 4;
    if (dataBytes > 0xFFFFFFFFull - 36) {
        std::fprintf(stderr, "too long for a WAV file\n");
        return 2;
    }
    UniqueFd fd(::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) {
        std::perror(path);
        return 1;
    }
    char header[44];
    std::memcpy(header, "RIFF\0\0\0\0WAVEfmt ", 16);
    Put32(header + 4, static_cast<std::uint32_t>(36 + dataBytes));
    Put32(header + 16, 16);
    Put32(header + 20, 1 | 2 << 16);  // PCM, 2 channels
    Put32(header + 24, 44100);
    Put32(header + 28, 44100 * 4);
    Put32(header + 32, 4 | 16 << 16);  // block alignment 4, 16 bits
    std::memcpy(header + 36, "data", 4);
    Put32(header + 40, static_cast<std::uint32_t>(dataBytes));
    bool ok = WriteAll(fd.Get(), header, sizeof header);
    test::MusicSignal signal(seed);
    std::string chunk;
    for (std::uint64_t done = 0; ok && done < frames;) {
        const std::uint64_t count = std::min<std::uint64_t>(44100, frames - done);
        chunk.clear();
        signal.Generate(count, chunk);
        ok = WriteAll(fd.Get(), chunk.data(), chunk.size());
        done += count;
    }
    if (!ok) {
        std::perror(path);
        return 1;
    }
    return 0;
}

bool ParsePreset(const std::string& text, EncoderRequest& request)
{
    if (text == "low") request.preset = QualityPreset::Low;
    else if (text == "medium") request.preset = QualityPreset::Medium;
    else if (text == "high") request.preset = QualityPreset::High;
    else if (text.rfind("custom:", 0) == 0) {
        request.preset = QualityPreset::Custom;
        request.qualityValue = std::stoi(text.substr(7)) * 1000;
    } else return false;
    return true;
}

int Encode(const std::string& formatName, const char* input, const char* output, const std::string& preset)
{
    EncoderRequest request;
    const FormatInfo* format = FindFormat(formatName);
    if (format) request.format = format->code;
    request.moduleFolder = TESSLOW_MODULE_DIR;
    if (!format || !ParsePreset(preset, request)) {
        std::fprintf(stderr, "unknown format or preset\n");
        return 2;
    }
    UniqueFd in(::open(input, O_RDONLY | O_CLOEXEC));
    char header[44];
    if (!in || ReadFull(in.Get(), header, sizeof header) != sizeof header || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 36, "data", 4) != 0) {
        std::fprintf(stderr, "%s: not a WAV file as make-wav writes it\n", input);
        return 1;
    }
    std::uint64_t left = Get32(header + 40);
    request.path = output;
    request.tags.artist = "Benchmark";
    request.tags.trackTitles = {"Long track"};
    OverwritePolicy policy;
    request.overwrite = &policy;
    request.alwaysOverwrite = true;

    const auto start = std::chrono::steady_clock::now();
    try {
        auto encoder = CreateEncoder(request);
        std::vector<char> block(kBlockBytes);
        while (left > 0) {
            const ssize_t got = ReadFull(in.Get(), block.data(), std::min<std::uint64_t>(left, block.size()));
            if (got <= 0) break;
            encoder->Write(block.data(), static_cast<unsigned>(got), nullptr);
            left -= static_cast<std::uint64_t>(got);
        }
        encoder->Finish();
    } catch (const EncoderException& e) {
        std::fprintf(stderr, "%s: %s\n", output, e.what());
        return 1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", elapsed.count());
    return 0;
}

}  // namespace
}  // namespace tesslow

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "make-wav" && (argc == 4 || argc == 5))
        return tesslow::MakeWav(argv[2], std::stod(argv[3]), argc == 5 ? std::stoul(argv[4]) : 1);
    if (command == "encode" && (argc == 5 || argc == 6))
        return tesslow::Encode(argv[2], argv[3], argv[4], argc == 6 ? argv[5] : "medium");
    std::fprintf(stderr,
                 "usage: %s make-wav OUT.wav MINUTES [SEED]\n"
                 "       %s encode flac|ogg|ape|wav IN.wav OUT [low|medium|high|custom:KBPS]\n",
                 argv[0], argv[0]);
    return 2;
}
