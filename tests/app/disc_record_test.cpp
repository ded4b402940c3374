#include "app/disc_record.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace tesslow {
namespace {

TEST(DiscRecords, AnUnknownDriveGivesAnEmptyRecordThatStaysPut)
{
    DiscRecords records;
    DiscRecord& first = records["/dev/sr0"];
    EXPECT_FALSE(first.hasAudio);
    EXPECT_TRUE(first.tracks.empty());
    EXPECT_TRUE(first.album.trackTitles.empty());
    EXPECT_EQ(first.album.artist, "");
    first.album.artist = "Ann";
    for (int i = 0; i < 100; ++i) (void)records["/dev/sr" + std::to_string(i + 1)];
    EXPECT_EQ(&records["/dev/sr0"], &first);
    EXPECT_EQ(first.album.artist, "Ann");
}

TEST(DiscRecords, LookUpsFromSeveralThreadsAreSafe)
{
    DiscRecords records;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&records, t] {
            for (int i = 0; i < 500; ++i) (void)records["drive" + std::to_string((i * (t + 1)) % 50)];
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(records["drive0"].leadOut, 0);
}

}  // namespace
}  // namespace tesslow
