#include "accuracy/track_checksums.h"

#include "app/cd_audio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace tesslow {
namespace {

// `sectors` sectors in which every stereo sample is `sample`.
std::string Constant(std::int64_t sectors, std::uint32_t sample)
{
    std::string audio(static_cast<std::size_t>(sectors) * kSectorBytes, '\0');
    for (std::size_t i = 0; i < audio.size(); i += 4) std::memcpy(&audio[i], &sample, 4);
    return audio;
}

TrackChecksums::Sums Sums(const std::string& audio, bool first, bool last)
{
    TrackChecksums sums(static_cast<std::int64_t>(audio.size() / kSectorBytes), first, last);
    sums.Add(audio.data(), audio.size());
    return sums.Result();
}

TEST(TrackChecksums, TheSumsFollowTheirDefinitionAtBothEndsOfTheDisc)
{
    // Every sample 1: v1 is the sum of the positions counted; no product
    // reaches 32 bits, so v2 is the same.
    const std::string ones = Constant(6, 1);
    const struct {
        const char* name;
        bool first, last;
        std::uint32_t v1;
    } cases[] = {
        {"a track between others counts every position", false, false, 3528 * 3529 / 2},
        {"the first track starts at position 2940", true, false, 3528 * 3529 / 2 - 2939 * 2940 / 2},
        {"the last track ends 2940 samples early", false, true, 588 * 589 / 2},
        {"the only track of six sectors leaves nothing", true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto sums = Sums(ones, c.first, c.last);
        EXPECT_EQ(sums.v1, c.v1);
        EXPECT_EQ(sums.v2, c.v1);
    }

    // Every sample FFFFFFFFh: each product m x (2^32 - 1) has m - 1 in its
    // high word, which only v2 adds.
    const auto full = Sums(Constant(1, 0xFFFFFFFF), false, false);
    EXPECT_EQ(full.v1, 0xFFFD5B92u);
    EXPECT_EQ(full.v2, 0xFFFFFDB4u);

    // The frame-450 sum is v1 over sector 450 alone; a shorter track has none.
    std::string long451 = Constant(451, 0);
    std::memcpy(&long451[450 * kSectorBytes + 4 * 9], "\x02\x00\x00\x00", 4);  // position 10 of sector 450
    EXPECT_EQ(Sums(long451, false, false).frame450, 20u);
    EXPECT_EQ(Sums(Constant(450, 7), false, false).frame450, 0u);

    // CRC-32 is zlib's: the standard check value of "123456789".
    TrackChecksums text(1, false, false);
    text.Add("123456789", 9);
    EXPECT_EQ(text.Result().crc32, 0xCBF43926u);
}

TEST(TrackChecksums, AudioGivenInPiecesOfAnySizeGivesTheSumsOfTheWhole)
{
    // Random audio against a plain reading of the definition.
    std::mt19937 random(450);
    std::string audio(500 * kSectorBytes, '\0');
    for (char& byte : audio) byte = static_cast<char>(random());
    std::uint32_t v1 = 0, high = 0;
    const std::uint64_t samples = audio.size() / 4;
    for (std::uint64_t m = 2940; m <= samples - 2940; ++m) {
        std::uint32_t sample;
        std::memcpy(&sample, &audio[(m - 1) * 4], 4);
        const std::uint64_t product = std::uint64_t{sample} * m;
        v1 += static_cast<std::uint32_t>(product);
        high += static_cast<std::uint32_t>(product >> 32);
    }
    const auto whole = Sums(audio, true, true);
    EXPECT_EQ(whole.v1, v1);
    EXPECT_EQ(whole.v2, v1 + high);

    TrackChecksums pieces(500, true, true);
    std::uniform_int_distribution<std::size_t> size(0, 9000);
    for (std::size_t at = 0; at < audio.size();) {
        const std::size_t piece = std::min(size(random), audio.size() - at);
        pieces.Add(audio.data() + at, piece);
        at += piece;
    }
    const auto pieced = pieces.Result();
    EXPECT_EQ(pieced.v1, whole.v1);
    EXPECT_EQ(pieced.v2, whole.v2);
    EXPECT_EQ(pieced.frame450, whole.frame450);
    EXPECT_EQ(pieced.crc32, whole.crc32);
}

}  // namespace
}  // namespace tesslow
