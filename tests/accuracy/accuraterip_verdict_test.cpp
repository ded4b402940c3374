#include "accuracy/accuraterip_verdict.h"
#include "accuracy/dbar_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace tesslow {
namespace {

const AccurateRipId kDisc{3, 0x1234, 0x5678, 0x9abcdef0};

// A dBAR response as the database writes it: track count, the three ids
// (little-endian), then per track a confidence, a checksum and a frame-450 sum.
std::vector<std::uint8_t> Response(const AccurateRipId& id, const std::vector<DbarResponse::Track>& tracks)
{
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(tracks.size())};
    auto le32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    le32(id.id1);
    le32(id.id2);
    le32(id.freedb);
    for (const auto& track : tracks) {
        bytes.push_back(track.confidence);
        le32(track.crc);
        le32(track.frame450);
    }
    return bytes;
}

std::vector<std::uint8_t> Joined(std::vector<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(DbarFile, ResponsesAreReadStrictlyAndWhatIsNotTheDiscsIsDroppedAndSaid)
{
    const auto first = Response(kDisc, {{5, 0xaaaa, 1}, {5, 0xbbbb, 2}, {0, 0, 0}});
    const auto second = Response(kDisc, {{12, 0x1111, 3}, {12, 0x2222, 4}, {12, 0x3333, 5}});
    const auto foreign = Response({3, 0x1234, 0x5679, 0x9abcdef0}, {{99, 0x1111, 0}, {99, 0x2222, 0}, {99, 0x3333, 0}});

    const DbarFile both = ParseDbar(Joined({first, second}), kDisc);
    ASSERT_EQ(both.responses.size(), 2u);
    EXPECT_EQ(both.problem, "");
    EXPECT_EQ(both.responses[1].tracks[2].crc, 0x3333u);
    EXPECT_EQ(both.responses[1].tracks[2].frame450, 5u);
    EXPECT_EQ(both.responses[0].tracks[0].confidence, 5);

    auto cut = Joined({first, second});
    cut.resize(cut.size() - 4);
    const DbarFile truncated = ParseDbar(cut, kDisc);
    EXPECT_EQ(truncated.responses.size(), 1u);
    EXPECT_EQ(truncated.problem, "the file ends inside a response (36 bytes were dropped)");

    const DbarFile mixed = ParseDbar(Joined({foreign, second, foreign}), kDisc);
    ASSERT_EQ(mixed.responses.size(), 1u);
    EXPECT_EQ(mixed.responses[0].tracks[0].crc, 0x1111u);
    EXPECT_EQ(mixed.problem, "2 responses for another disc were dropped");

    EXPECT_TRUE(ParseDbar({}, kDisc).responses.empty());
}

TEST(AccurateRipVerdict, ATrackIsAccurateWhenAnyResponseAgreesAndOnlyDamageAmongMatchesIsAnError)
{
    const DbarFile file = ParseDbar(Joined({Response(kDisc, {{5, 0xaaaa, 0}, {5, 0xbbbb, 0}, {0, 0, 0}}),
                                            Response(kDisc, {{12, 0x1111, 0}, {12, 0x2222, 0}, {0, 0, 0}})}),
                                    kDisc);
    // Accurate by its v2 in the second, more confident response.
    const TrackAccuracy second = JudgeTrack(file.responses, 0, 0x9999, 0x1111);
    EXPECT_EQ(second.result, TrackAccuracy::Result::Accurate);
    EXPECT_EQ(second.confidence, 12);
    EXPECT_EQ(second.version, 2);
    EXPECT_EQ(VerdictText(second, 0x9999, 0x1111, 2), "accurately ripped (confidence 12, AccurateRip v2)");
    // By its v1 in the first.
    const TrackAccuracy first = JudgeTrack(file.responses, 1, 0xbbbb, 0x7777);
    EXPECT_EQ(first.result, TrackAccuracy::Result::Accurate);
    EXPECT_EQ(first.confidence, 5);
    EXPECT_EQ(first.version, 1);
    // Entries of no response: none usable.
    const TrackAccuracy absent = JudgeTrack(file.responses, 2, 1, 2);
    EXPECT_EQ(absent.result, TrackAccuracy::Result::NotPresent);
    EXPECT_EQ(VerdictText(absent, 1, 2, 2), "not present in the database");
    const TrackAccuracy wrong = JudgeTrack(file.responses, 1, 0x9a0b1c2d, 0x3e4f5061);
    EXPECT_EQ(wrong.result, TrackAccuracy::Result::NotAccurate);
    EXPECT_EQ(VerdictText(wrong, 0x9a0b1c2d, 0x3e4f5061, 2),
              "not accurate (v1 9a0b1c2d, v2 3e4f5061; 2 responses, max confidence 12)");

    // Summaries, and which tracks are errors.
    EXPECT_EQ(SummaryText({second, first}), "AccurateRip: all 2 tracks accurately ripped (confidence 5)");
    EXPECT_EQ(SummaryText({second}), "AccurateRip: the track accurately ripped (confidence 12)");
    EXPECT_EQ(SummaryText({second, wrong, absent}), "AccurateRip: 1 of 3 tracks accurately ripped");
    EXPECT_EQ(SummaryText({wrong, absent}), "AccurateRip: no track matches; this pressing may not be in the database");
    EXPECT_EQ(SummaryText({absent}), "AccurateRip: none of the tracks is in the database");
    EXPECT_TRUE(NotAccurateIsAnError({second, wrong}, wrong, false));
    EXPECT_FALSE(NotAccurateIsAnError({second, absent}, absent, false));
    EXPECT_FALSE(NotAccurateIsAnError({wrong, wrong}, wrong, false));
    EXPECT_TRUE(NotAccurateIsAnError({wrong, absent}, absent, true));
    EXPECT_FALSE(NotAccurateIsAnError({second}, second, true));
}

}  // namespace
}  // namespace tesslow
