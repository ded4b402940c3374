#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tesslow::test {

// Disc images for the emulated drive, written into a test's temporary folder.
// The audio is a deterministic noise pattern, so every sector differs from its
// neighbours and a shifted read shows; a sparse image is one hole that reads
// as silence and takes no disk space, for long discs.

struct TestTrack {
    std::int32_t sectors = 750;  // in the image, including any INDEX 00 part
    bool data = false;           // MODE1/2352 instead of AUDIO
    std::int32_t indexZero = 0;  // sectors between INDEX 00 and INDEX 01 (inside the file)
    int session = 1;             // a track starting a later session gets "REM SESSION"
    std::string isrc{};          // an ISRC line when set
    bool preemphasis = false;    // FLAGS PRE
};

struct TestDisc {
    std::vector<TestTrack> tracks{};
    std::vector<std::string> conditions{};  // each written as "REM TESSLOW <condition>"
    bool sparse = false;
    std::uint32_t seed = 1;               // of the audio pattern
    std::string catalog{};                // a CATALOG line when set
};

struct WrittenDisc {
    std::filesystem::path cue;
    std::filesystem::path bin;
    std::vector<std::int32_t> starts;  // LBA of each track's INDEX 01, as the drive reports it
    std::int32_t leadOut = 0;
    // Where each track's image begins: disc LBA and sector in the BIN.
    std::vector<std::int32_t> imageLba;
    std::vector<std::int64_t> binSector;
};

// Writes NAME.bin and NAME.cue (one BINARY file) into `folder`. The CUE sheet
// is written atomically, so writing another disc under the same name is a
// disc change that an open emulated drive notices.
WrittenDisc WriteTestDisc(const std::filesystem::path& folder, const TestDisc& disc, const std::string& name = "disc");

// The bytes a clean drive delivers for `count` sectors from `lba`: the image's
// sectors, zeros outside them.
std::string DiscBytes(const WrittenDisc& disc, std::int32_t lba, std::int32_t count);

// `sectors` sectors of the audio pattern, starting at sector `first` of a file.
std::string TestAudio(std::int64_t first, std::int64_t sectors, std::uint32_t seed = 1);

// Writes `sectors` sectors of the audio pattern (or a hole of that size) to
// `path`.
void WriteAudioFile(const std::filesystem::path& path, std::int64_t sectors, bool sparse = false,
                    std::uint32_t seed = 1);

// Writes a CUE sheet (or any small file) by rename, so it appears at once.
void WriteCueSheet(const std::filesystem::path& path, const std::string& text);

// A WAVE file holding `sectors` sectors of the audio pattern.
void WriteWaveFile(const std::filesystem::path& path, std::int64_t sectors, std::uint32_t seed = 1);

}  // namespace tesslow::test
