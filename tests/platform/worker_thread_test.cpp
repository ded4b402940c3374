#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace tesslow {
namespace {

using namespace std::chrono_literals;

TEST(WorkerThread, AThreadThatEndsInTimeIsJoined)
{
    std::atomic<int> runs{0};
    WorkerThread thread([&] { ++runs; });
    EXPECT_TRUE(thread.WaitFor(1000ms));
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(runs, 1);
}

TEST(WorkerThread, AThreadThatMissesItsDeadlineIsAbandonedAndKeepsItsSharedState)
{
    struct Shared {
        std::atomic<bool> release{false};
        std::atomic<bool> finished{false};
    };
    auto shared = std::make_shared<Shared>();
    std::weak_ptr<Shared> watch = shared;
    {
        WorkerThread thread([shared] {
            while (!shared->release) std::this_thread::sleep_for(1ms);
            shared->finished = true;
        });
        shared.reset();  // from here on only the thread holds it
        EXPECT_TRUE(thread.Running());
        EXPECT_FALSE(thread.WaitFor(50ms));
        EXPECT_FALSE(thread.Running());  // no longer ours
    }  // destroying the handle neither waits for nor kills the abandoned thread
    auto keep = watch.lock();
    ASSERT_TRUE(keep);
    keep->release = true;
    while (!keep->finished) std::this_thread::sleep_for(1ms);
    keep.reset();
    for (int i = 0; i < 1000 && !watch.expired(); ++i) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(watch.expired());
}

TEST(WorkerThread, AnEmptyHandleNeedsNoWaiting)
{
    WorkerThread none;
    EXPECT_FALSE(none.Running());
    EXPECT_TRUE(none.WaitFor(0ms));
}

}  // namespace
}  // namespace tesslow
