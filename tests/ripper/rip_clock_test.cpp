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
    EstimateMemory memory;
    RipClock clock(memory);
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
    EstimateMemory memory;
    RipClock clock(memory);
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
    EstimateMemory memory;
    RipClock clock(memory);
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

// The estimate and its tick counter are the process's, not the rip's: a
// second rip goes on counting where the first stopped, so its first estimate
// comes after the first's remaining ticks, and a running one counts on.
TEST(RipClock, ASecondRipCarriesOnTheEstimateAndItsTickCounter)
{
    EstimateMemory memory;
    std::uint64_t now = 0;
    {
        RipClock first(memory);
        first.Start(now);
        first.SetJobRange(1000);
        first.SetJobPosition(500);
        RunTicks(first, now, 8500);  // one estimate at 5 s, then 7 ticks
        EXPECT_EQ(first.EstimateSeconds(), 2);  // 5 s left from 500 / (500 / 5.0), counted down
    }
    RipClock second(memory);
    second.Start(now);
    EXPECT_EQ(second.EstimateSeconds(), 2);
    second.SetJobRange(1000);
    second.SetJobPosition(100);
    RunTicks(second, now, now + 1500);  // the window closes at the third tick
    EXPECT_EQ(second.EstimateSeconds(), 45);  // 900 / (100 / 5.0)
    EXPECT_EQ(second.LeftText(), "Time left: ??:??");  // still the first 10 s of this rip
}

TEST(RipClock, LongRipsPrintThreeDigitMinutes)
{
    EstimateMemory memory;
    RipClock clock(memory);
    clock.Start(0);
    clock.Tick(100 * 60 * 1000 + 7000);
    EXPECT_EQ(clock.ElapsedText(), "Time elapsed: 100:07");
}

}  // namespace
}  // namespace tesslow
