#include "accuracy/accuraterip_id.h"

#include "app/raw_toc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tesslow {
namespace {

// A READ TOC format 0 answer: tracks from 1 at these LBAs (data tracks
// marked), then the lead-out.
std::vector<std::uint8_t> RawToc(const std::vector<std::int32_t>& starts, std::int32_t leadOut,
                                 const std::vector<int>& dataTracks = {})
{
    std::vector<std::uint8_t> toc(4);
    auto descriptor = [&](int number, std::int32_t lba, bool data) {
        const auto v = static_cast<std::uint32_t>(lba);
        toc.insert(toc.end(), {0, static_cast<std::uint8_t>(0x10 | (data ? kControlDataTrack : 0)),
                               static_cast<std::uint8_t>(number), 0, static_cast<std::uint8_t>(v >> 24),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v)});
    };
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        descriptor(number, starts[i], std::find(dataTracks.begin(), dataTracks.end(), number) != dataTracks.end());
    }
    descriptor(kLeadOutTrack, leadOut, false);
    const std::size_t length = toc.size() - 2;
    toc[0] = static_cast<std::uint8_t>(length >> 8);
    toc[1] = static_cast<std::uint8_t>(length);
    toc[2] = 1;
    toc[3] = static_cast<std::uint8_t>(starts.size());
    return toc;
}

// LBAs from the absolute sector offsets (LBA + 150) the sources publish.
std::vector<std::int32_t> Lba(std::vector<std::int32_t> offsets)
{
    for (auto& offset : offsets) offset -= 150;
    return offsets;
}

TEST(AccurateRipId, EveryDiscShapeGivesTheIdTheDatabaseKnows)
{
    // Sources:
    // - ARver (github.com/arcctgx/ARver), doc/data_track.md: "Liquid" by Recoil,
    //   ten audio tracks then a data session; the ids dBpoweramp and EAC
    //   compute (and, with the audio session's end as lead-out, the ids of an
    //   audio-only disc of the same tracks); "Mortal Kombat Trilogy", a
    //   mixed-mode disc of a data track and 28 audio tracks.
    // - ARver, tests/data: the 99-track disc "Broken" whose first track starts
    //   after a 32-sector pregap (MusicBrainz disc RQ9yuzEHF_fzexjCzj46KcdIaHA-)
    //   and its database file dBAR-099-009fc8d0-224410e4-6308d763.bin.
    const std::vector<std::int32_t> liquid = Lba({150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455});
    std::vector<std::int32_t> liquidWithData = liquid;
    liquidWithData.push_back(281735 - 150);
    const std::vector<std::int32_t> mortalKombat =
        Lba({150,    66728,  76502,  85963,  93760,  104048, 116066, 124743, 134206, 142916,
             151852, 160720, 169425, 178731, 188459, 196711, 206354, 214845, 223686, 225746,
             226384, 232668, 239447, 239931, 244989, 254264, 260066, 261222, 261674});
    const std::vector<std::int32_t> broken =
        Lba({182, 4862, 21867, 43210, 51925, 76015, 94625, 94927, 95230, 95532,
             95835, 96137, 96440, 96742, 97045, 97347, 97650, 97952, 98255, 98557,
             98860, 99162, 99465, 99767, 100070, 100372, 100675, 100977, 101280, 101582,
             101885, 102187, 102490, 102792, 103095, 103397, 103700, 104002, 104305, 104607,
             104910, 105212, 105515, 105817, 106120, 106422, 106725, 107027, 107330, 107632,
             107935, 108237, 108540, 108842, 109145, 109447, 109750, 110052, 110355, 110657,
             110960, 111262, 111565, 111867, 112170, 112472, 112775, 113077, 113380, 113682,
             113985, 114287, 114590, 114892, 115195, 115497, 115800, 116102, 116405, 116707,
             117010, 117312, 117615, 117917, 118220, 118522, 118825, 119127, 119430, 119732,
             120035, 120337, 120640, 120942, 121245, 121547, 121850, 122152, 146897});

    const struct {
        const char* shape;
        std::vector<std::uint8_t> toc;
        const char* id;
        std::vector<std::size_t> entries;  // of the first two audio tracks
    } cases[] = {
        {"audio only", RawToc(liquid, 270335 - 150), "010-00154c2f-00af4fd4-890e120a", {0, 1}},
        {"enhanced: the lead-out is the disc's, after the data session", RawToc(liquidWithData, 333801 - 150, {11}),
         "010-00164419-00b9f6e2-9e11600b", {0, 1}},
        {"mixed mode: data track 1 left out of the sums, kept in the FreeDB id", RawToc(mortalKombat, 261976 - 150, {1}),
         "028-00517a54-05a845d2-af0da31d", {1, 2}},
        {"99 tracks, the first after a pregap", RawToc(broken, 169932 - 150), "099-009fc8d0-224410e4-6308d763", {0, 1}},
        // By the definition: one track from sector 0, 17 seconds.
        {"one track", RawToc({0}, 1275), "001-000004fb-000009f7-02001101", {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shape);
        const auto id = AccurateRipIdOf(c.toc);
        ASSERT_TRUE(id);
        EXPECT_EQ(id->Text(), c.id);
        const std::vector<std::size_t> entries = AccurateRipEntries(c.toc);
        EXPECT_EQ(std::vector<std::size_t>(entries.begin(), entries.begin() + static_cast<long>(c.entries.size())),
                  c.entries);
    }
    EXPECT_EQ(AccurateRipIdOf(RawToc(broken, 169932 - 150))->DbarPath(),
              "/accuraterip/0/d/8/dBAR-099-009fc8d0-224410e4-6308d763.bin");

    // No audio track, or no lead-out: no id.
    EXPECT_FALSE(AccurateRipIdOf(RawToc({0}, 1000, {1})));
    std::vector<std::uint8_t> cut = RawToc({0, 100}, 200);
    cut.resize(cut.size() - 8);
    EXPECT_FALSE(AccurateRipIdOf(cut));
}

}  // namespace
}  // namespace tesslow
