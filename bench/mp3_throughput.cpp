// Times CMP3Encoder (through the lame_enc module of the build tree) on a WAV
// file, fed in the rip worker's blocks of 26 sectors, and prints the best of
// several runs. With --make-wav it first writes a music-like WAV to encode.
//
//   mp3_throughput --make-wav music.wav --seconds 300
//   mp3_throughput --wav music.wav --preset medium|low|high|custom:KBPS [--force-cbr]
//                  [--repeat N] [--out encoded.mp3]
//
// The module is the build tree's; --force-cbr stands for the MP3ForceCBR setting.

#include "app/cd_audio.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "platform/fd_io.h"
#include "platform/unique_fd.h"
#include "support/music_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tesslow;

namespace {

constexpr unsigned kRipBlockBytes = 26 * kSectorBytes;

void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string WavFile(const std::string& pcm)
{
    std::string wav = "RIFF";
    PutLe(wav, static_cast<std::uint32_t>(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, 2, 2);
    PutLe(wav, 44100, 4);
    PutLe(wav, 44100 * 4, 4);
    PutLe(wav, 4, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, static_cast<std::uint32_t>(pcm.size()), 4);
    return wav + pcm;
}

std::uint32_t GetLe32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Where the "data" chunk of a RIFF/WAVE file lies (16-bit stereo 44100 Hz
// assumed), from the file's first bytes; size 0 when it is not among them.
struct DataChunk {
    std::size_t offset = 0;
    std::size_t size = 0;
};

DataChunk FindDataChunk(const std::string& head)
{
    for (std::size_t at = 12; at + 8 <= head.size();) {
        const std::uint32_t size = GetLe32(head, at + 4);
        if (head.compare(at, 4, "data") == 0) return {at + 8, size};
        at += 8 + size + (size & 1);
    }
    return {};
}

QualityPreset ParsePreset(const std::string& text, std::int32_t& customValue)
{
    if (text == "low") return QualityPreset::Low;
    if (text == "medium") return QualityPreset::Medium;
    if (text == "high") return QualityPreset::High;
    if (text.rfind("custom:", 0) == 0) {
        customValue = std::atoi(text.c_str() + 7) * 1000;
        return QualityPreset::Custom;
    }
    std::fprintf(stderr, "mp3_throughput: unknown preset %s\n", text.c_str());
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string wavPath, makeWav, out, presetText = "medium";
    double seconds = 300;
    int repeat = 3;
    bool forceCbr = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--wav") wavPath = next, ++i;
        else if (arg == "--make-wav") makeWav = next, ++i;
        else if (arg == "--seconds") seconds = std::atof(next), ++i;
        else if (arg == "--preset") presetText = next, ++i;
        else if (arg == "--repeat") repeat = std::max(1, std::atoi(next)), ++i;
        else if (arg == "--out") out = next, ++i;
        else if (arg == "--force-cbr") forceCbr = true;
        else {
            std::fprintf(stderr, "mp3_throughput: unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (!makeWav.empty()) {
        const std::string wav = WavFile(test::MusicPcmSeconds(seconds));
        std::ofstream(makeWav, std::ios::binary).write(wav.data(), static_cast<std::streamsize>(wav.size()));
        std::printf("wrote %s: %.0f s of audio\n", makeWav.c_str(), seconds);
        return 0;
    }
    if (wavPath.empty()) {
        std::fprintf(stderr, "mp3_throughput: --wav or --make-wav is required\n");
        return 2;
    }
    // The audio is read from the file block by block, as the rip worker reads
    // its pipe, rather than held in memory.
    const UniqueFd wav(::open(wavPath.c_str(), O_RDONLY | O_CLOEXEC));
    std::string head(65536, '\0');
    const ssize_t headBytes = wav ? ::pread(wav.Get(), head.data(), head.size(), 0) : -1;
    head.resize(headBytes > 0 ? static_cast<std::size_t>(headBytes) : 0);
    const DataChunk data = FindDataChunk(head);
    if (data.size == 0) {
        std::fprintf(stderr, "mp3_throughput: no audio in %s\n", wavPath.c_str());
        return 2;
    }

    char scratchName[] = "/tmp/mp3-throughput-XXXXXX";
    const fs::path scratch = ::mkdtemp(scratchName);
    if (out.empty()) out = (scratch / "encoded.mp3").string();

    EncoderRequest request;
    request.format = FormatCode::Mp3;
    request.path = out;
    request.preset = ParsePreset(presetText, request.qualityValue);
    request.mp3ForceCbr = forceCbr;
    request.moduleFolder = TESSLOW_MODULE_DIR;
    request.tags.artist = "Benchmark";
    request.tags.trackTitles = {"Music-like signal"};
    request.alwaysOverwrite = true;
    OverwritePolicy policy;
    request.overwrite = &policy;

    std::vector<double> times;
    try {
        for (int run = 0; run < repeat; ++run) {
            const auto start = std::chrono::steady_clock::now();
            {
                auto encoder = CreateEncoder(request);
                ::lseek(wav.Get(), static_cast<off_t>(data.offset), SEEK_SET);
                std::vector<char> block(kRipBlockBytes);
                for (std::size_t left = data.size; left > 0;) {
                    const ssize_t got = ReadFull(wav.Get(), block.data(), std::min<std::size_t>(block.size(), left));
                    if (got <= 0) break;
                    encoder->Write(block.data(), static_cast<unsigned>(got), nullptr);
                    left -= static_cast<std::size_t>(got);
                }
                encoder->Finish();
            }
            times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    } catch (const EncoderException& e) {
        std::fprintf(stderr, "mp3_throughput: %s\n", e.what());
        fs::remove_all(scratch);
        return 1;
    }
    const double best = *std::min_element(times.begin(), times.end());
    const double audioSeconds = static_cast<double>(data.size) / (44100.0 * 4);
    std::printf("preset=%s force_cbr=%d audio=%.1fs runs=%d best=%.3fs speed=%.1fx size=%ju\n", presetText.c_str(),
                forceCbr ? 1 : 0, audioSeconds, repeat, best, audioSeconds / best,
                static_cast<std::uintmax_t>(fs::file_size(out)));
    fs::remove_all(scratch);
    return 0;
}
