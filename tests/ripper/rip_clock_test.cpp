#include "ripper/rip_clock.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

// Ticks the clock every 500 ms from `from` to `to` (in ms since start).
void RunTicks(RipClock& clock, std::uint64_t& now, std::uint64_t until)
{
    while (now + RipClock::kTickMs <= until) {
        now += RipClock::kTickMs;
        clock.Tick(now);
    }
}

TEST(RipClock, UnknownForTheFirstTenSecondsWhateverTheProgress)
{
    RipClock clock;
    std::uint64_t now = 1'000'000;
    clock.Start(now);
    clock.SetJobRange(1000);
    for (int i = 1; i <= 19; ++i) {
        clock.SetJobPosition(i * 10);
        RunTicks(clock, now, 1'000'000 + i * 500);
        EXPECT_EQ(clock.LeftText(), "Time left: ??:??") << i;
    }
    EXPECT_EQ(clock.ElapsedText(), "Time elapsed: 00:09");
}

TEST(RipClock, EstimateFromTheLastWindowThenCountsDown)
{
    RipClock clock;
    std::uint64_t now = 0;
    clock.Start(now);
    clock.SetJobRange(1000);
    clock.SetJobPosition(200);
    RunTicks(clock, now, 5000);   // first window: 0 -> 200
    clock.SetJobPosition(300);
    RunTicks(clock, now, 10000);  // second window: 200 -> 300
    EXPECT_EQ(clock.EstimateSeconds(), 35);  // 700 / (100 / 5.0)
    EXPECT_EQ(clock.LeftText(), "Time left: 00:35");
    RunTicks(clock, now, 11000);
    EXPECT_EQ(clock.LeftText(), "Time left: 00:34");
}

TEST(RipClock, AStalledWindowTurnsTheEstimateBackToUnknown)
{
    RipClock clock;
    std::uint64_t now = 0;
    clock.Start(now);
    clock.SetJobRange(1000);
    clock.SetJobPosition(100);
    RunTicks(clock, now, 10000);
    clock.SetJobPosition(150);
    RunTicks(clock, now, 15000);
    EXPECT_NE(clock.LeftText(), "Time left: ??:??");
    RunTicks(clock, now, 20000);  // no movement
    EXPECT_EQ(clock.LeftText(), "Time left: ??:??");
}

TEST(RipClock, LongRipsPrintThreeDigitMinutes)
{
    RipClock clock;
    clock.Start(0);
    clock.Tick(100 * 60 * 1000 + 7000);
    EXPECT_EQ(clock.ElapsedText(), "Time elapsed: 100:07");
}

}  // namespace
}  // namespace tesslow
