#include "app/disc_record.h"

#include <gtest/gtest.h>

#include <atomic>
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

TEST(DiscRecords, RecordsCreatedFromSeveralThreadsAtOnceAreAllKept)
{
    // Four threads create records at the same moment and write through the
    // references they get; every record must be there afterwards, holding
    // what its thread wrote. Without the lock the map loses records or breaks.
    DiscRecords records;
    constexpr int kThreads = 4, kPerThread = 5000;
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&records, &ready, t] {
            ++ready;
            while (ready < kThreads) {
            }
            for (int i = 0; i < kPerThread; ++i) records["drive" + std::to_string(i * kThreads + t)].leadOut = i + 1;
        });
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kPerThread; ++i)
            ASSERT_EQ(records["drive" + std::to_string(i * kThreads + t)].leadOut, i + 1) << "thread " << t << ", " << i;
}

}  // namespace
}  // namespace tesslow
