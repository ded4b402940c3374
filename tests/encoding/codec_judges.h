#pragma once

#include "app/album_info.h"
#include "app/rip_job.h"
#include "encoding/encoder.h"
#include "support/command.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tesslow::test {

// An encoder made by the factory for `path`, as the rip worker makes it.
std::unique_ptr<Encoder> MakeEncoder(FormatCode format, const std::filesystem::path& path, const AlbumInfo& tags = {},
                                     std::uint32_t trackIndex = 0, QualityPreset preset = QualityPreset::Medium,
                                     std::int32_t qualityValue = 0);

// Writes `pcm` in blocks of `blockBytes` (the rip worker's 26 sectors by
// default), then finishes.
void EncodeWhole(Encoder& encoder, const std::string& pcm, std::size_t blockBytes = 61152);

// Runs `scenario` in a fresh process, where no encoder module has been loaded
// yet: a loaded module stays loaded for the rest of a process. The scenario
// returns an empty string on success, else what went wrong.
void InFreshProcess(const std::function<std::string()>& scenario);

// The message CreateEncoder throws, or "" when it succeeds.
std::string CreateFails(const EncoderRequest& request);

// Runs a judge; a nonzero exit fails the test with the judge's stderr.
ProgramResult Judge(const std::vector<std::string>& command);

// The Vorbis comments of an Ogg Vorbis or FLAC file as Python's mutagen reads
// them: whether a comment block exists, its vendor string, and the entries as
// "NAME=value" in file order.
struct VorbisTags {
    bool present = false;
    std::string vendor;
    std::vector<std::string> entries;
};
VorbisTags ReadVorbisTags(const std::filesystem::path& file);

// Signal-to-noise ratio in dB of `decoded` against `reference`, both 16-bit
// little-endian PCM, over the shorter of the two.
double SnrDb(const std::string& reference, const std::string& decoded);

// The MD5 digest of `bytes` in hexadecimal, computed by md5sum.
std::string Md5Hex(const std::string& bytes);

}  // namespace tesslow::test
