#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tesslow::test {

// A track's checksums worked out by the plain definitions, apart from the
// program's own streaming code: AccurateRip v1 and v2 (the first track skips
// its first 2939 samples, the last its final 2940), the frame-450 sum (over
// sector 450 of the track alone, weights 1 to 588) and zlib's CRC-32.
struct TrackSums {
    std::uint32_t v1 = 0, v2 = 0, frame450 = 0, crc32 = 0;
};
TrackSums SumsOf(const std::string& audio, bool first, bool last);

// One track's entry in a database response.
struct DbarEntry {
    std::uint8_t confidence = 0;
    std::uint32_t crc = 0;
    std::uint32_t frame450 = 0;
};

// A response of the database for the disc with AccurateRip id `id`
// ("NNN-id1-id2-freedb"), as the bytes the real database writes; with
// `foreignIds` its first id is another disc's.
std::string DbarResponse(const std::string& id, const std::vector<DbarEntry>& entries, bool foreignIds = false);

// Where an HttpFixtureServer rooted at `root` keeps the disc's dBAR file
// (it adds ".xml" to the asked path).
std::filesystem::path DbarFixture(const std::filesystem::path& root, const std::string& id);

}  // namespace tesslow::test
