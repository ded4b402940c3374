#include "support/test_disc.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace tesslow::test {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kSector = 2352;
constexpr std::int32_t kSessionGap = 11400;

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string Msf(std::int64_t sectors)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(sectors / 4500),
                  static_cast<int>(sectors / 75 % 60), static_cast<int>(sectors % 75));
    return text;
}

void WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("cannot write a test disc");
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string TestAudio(std::int64_t first, std::int64_t sectors, std::uint32_t seed)
{
    std::string bytes(static_cast<std::size_t>(sectors * kSector), '\0');
    const std::int64_t firstWord = first * kSector / 8;
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t word = Mix((std::uint64_t(seed) << 40) ^ std::uint64_t(firstWord + std::int64_t(i / 8)));
        for (int b = 0; b < 8; ++b) bytes[i + b] = static_cast<char>(word >> (8 * b));
    }
    return bytes;
}

void WriteAudioFile(const fs::path& path, std::int64_t sectors, bool sparse, std::uint32_t seed)
{
    fs::create_directories(path.parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path.string());
    try {
        if (sparse) {
            if (::ftruncate(fd, sectors * kSector) != 0) throw std::runtime_error("cannot size " + path.string());
        } else {
            constexpr std::int64_t kChunk = 1000;
            for (std::int64_t s = 0; s < sectors; s += kChunk)
                WriteAll(fd, TestAudio(s, std::min(kChunk, sectors - s), seed));
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

void WriteWaveFile(const fs::path& path, std::int64_t sectors, std::uint32_t seed)
{
    const std::uint32_t dataSize = static_cast<std::uint32_t>(sectors * kSector);
    auto le32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto le16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string header = "RIFF" + le32(36 + dataSize) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(2) +
                         le32(44100) + le32(44100 * 4) + le16(4) + le16(16) + "data" + le32(dataSize);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << header << TestAudio(0, sectors, seed);
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteCueSheet(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    const fs::path temporary = path.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out) throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::rename(temporary, path);
}

WrittenDisc WriteTestDisc(const fs::path& folder, const TestDisc& disc, const std::string& name)
{
    WrittenDisc written;
    written.bin = folder / (name + ".bin");
    written.cue = folder / (name + ".cue");
    std::int64_t binSectors = 0;
    for (const TestTrack& track : disc.tracks) binSectors += track.sectors;
    WriteAudioFile(written.bin, binSectors, disc.sparse, disc.seed);

    std::string cue;
    for (const std::string& condition : disc.conditions) cue += "REM TESSLOW " + condition + "\n";
    if (!disc.catalog.empty()) cue += "CATALOG " + disc.catalog + "\n";
    cue += "FILE \"" + name + ".bin\" BINARY\n";
    std::int64_t position = 0;  // in the BIN
    std::int32_t lba = 0;
    int session = 1;
    for (std::size_t t = 0; t < disc.tracks.size(); ++t) {
        const TestTrack& track = disc.tracks[t];
        if (track.session != session) {
            session = track.session;
            cue += "REM SESSION " + std::to_string(session) + "\n";
            lba += std::max(0, kSessionGap - track.indexZero);
        }
        char number[8];
        std::snprintf(number, sizeof number, "%02d", static_cast<int>(t + 1));
        cue += std::string("  TRACK ") + number + (track.data ? " MODE1/2352\n" : " AUDIO\n");
        if (track.preemphasis) cue += "    FLAGS PRE\n";
        if (!track.isrc.empty()) cue += "    ISRC " + track.isrc + "\n";
        if (track.indexZero > 0) cue += "    INDEX 00 " + Msf(position) + "\n";
        cue += "    INDEX 01 " + Msf(position + track.indexZero) + "\n";
        written.imageLba.push_back(lba);
        written.binSector.push_back(position);
        written.starts.push_back(lba + track.indexZero);
        position += track.sectors;
        lba += track.sectors;
    }
    written.leadOut = lba;
    WriteCueSheet(written.cue, cue);
    return written;
}

std::string DiscBytes(const WrittenDisc& disc, std::int32_t lba, std::int32_t count)
{
    std::string bytes(static_cast<std::size_t>(count) * kSector, '\0');
    std::ifstream in(disc.bin, std::ios::binary);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t sector = lba + i;
        for (std::size_t t = disc.imageLba.size(); t-- > 0;) {
            if (sector < disc.imageLba[t]) continue;
            const std::int64_t end = t + 1 < disc.imageLba.size() ? disc.binSector[t + 1] - disc.binSector[t]
                                                                  : disc.leadOut - disc.imageLba[t];
            if (sector - disc.imageLba[t] < end) {
                in.clear();
                in.seekg((disc.binSector[t] + (sector - disc.imageLba[t])) * kSector);
                in.read(bytes.data() + std::size_t(i) * kSector, kSector);
            }
            break;
        }
    }
    return bytes;
}

}  // namespace tesslow::test
