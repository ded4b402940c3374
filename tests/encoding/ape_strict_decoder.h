#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tesslow::test {

// A Monkey's Audio decoder for the files the project writes (version 3990,
// 16-bit, levels 1000 to 4000), stricter than any player: it checks the
// descriptor, the header, the MD5, reads the frames back to back through one
// stream and fails unless every frame starts exactly where its seek entry
// points, its range coder ends exactly where the next frame begins, and the
// decoded audio matches the frame's CRC.
struct StrictApeResult {
    std::string error;  // empty when every check passed; else what failed, and where
    int channels = 0;
    int level = 0;
    std::uint32_t frames = 0;
    std::uint64_t blocks = 0;
    std::uint32_t seekEntries = 0;  // reserved in the seek table
    std::uint64_t frameBytes = 0;   // the frame area as stored
    std::string pcmMd5;             // of the decoded PCM, hexadecimal
    std::string pcm;                // the decoded PCM, when asked for
};

StrictApeResult DecodeApeStrictly(const std::filesystem::path& file, bool keepPcm = true);

}  // namespace tesslow::test
