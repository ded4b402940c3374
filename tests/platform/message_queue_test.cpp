#include "platform/message_queue.h"
#include "platform/messages.h"
#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace tesslow {
namespace {

using namespace std::chrono_literals;

TEST(MessageQueue, PostsArriveInOrderAndSendWaitsForTheAnswer)
{
    MessageQueue queue;
    std::intptr_t answer = -1;
    WorkerThread worker([&] {
        queue.Post(UM_RIP_STARTED, 0, 0);
        queue.Post(UM_RIP_PROGRESS, 10, 20);
        const char* line = "a.wav: file skipped";
        queue.Send(UM_RIP_ERROR, reinterpret_cast<std::uintptr_t>(line), 0);
        answer = queue.Send(UM_RIP_QUERY_CANCEL, 0, 0);
        queue.Post(UM_RIP_FINISHED, 0, 0);
    });
    std::vector<std::uint32_t> ids;
    std::string errorLine;
    while (ids.empty() || ids.back() != UM_RIP_FINISHED) {
        queue.Dispatch(
            [&](const Message& m) -> std::intptr_t {
                ids.push_back(m.id);
                if (m.id == UM_RIP_ERROR) errorLine = reinterpret_cast<const char*>(m.wParam);
                return m.id == UM_RIP_QUERY_CANCEL ? 7 : 0;
            },
            1000ms);
    }
    worker.Join();
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{UM_RIP_STARTED, UM_RIP_PROGRESS, UM_RIP_ERROR, UM_RIP_QUERY_CANCEL,
                                               UM_RIP_FINISHED}));
    EXPECT_EQ(errorLine, "a.wav: file skipped");
    EXPECT_EQ(answer, 7);
}

TEST(MessageQueue, ClosingReleasesASenderThatNobodyWillAnswer)
{
    // The arrival hook tells when the Send is queued; the sender holds the
    // queue until it waits for its answer, so Close finds it waiting.
    std::mutex mutex;
    std::condition_variable arrived;
    int arrivals = 0;
    MessageQueue queue([&] {
        std::lock_guard lock(mutex);
        ++arrivals;
        arrived.notify_all();
    });
    std::intptr_t answer = -1;
    WorkerThread worker([&] { answer = queue.Send(UM_DISC_SEARCH_ABORT, 0, 0); });
    {
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return arrivals == 1; });
    }
    queue.Close();
    EXPECT_TRUE(worker.WaitFor(2000ms));
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(queue.Send(UM_RIP_QUERY_CANCEL, 0, 0), 0);
    queue.Post(UM_RIP_FINISHED, 0, 0);
    EXPECT_FALSE(queue.Dispatch([](const Message&) { return 0; }, 10ms));
    EXPECT_EQ(arrivals, 1) << "the hook ran after Close";
}

TEST(MessageQueue, TheReceiverSendingToItselfDoesNotDeadlock)
{
    MessageQueue queue;
    EXPECT_EQ(queue.Send(UM_RIP_QUERY_CANCEL, 0, 0), 0);
}

}  // namespace
}  // namespace tesslow
