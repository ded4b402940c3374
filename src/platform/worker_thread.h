#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace tesslow {

// A thread that its owner waits for with a time limit. A thread that misses the
// deadline is abandoned, never killed (POSIX has no safe way): it is detached
// and runs on, so everything it may still touch must be held by shared
// ownership and its stop flag must keep it from reporting anything.
//
// Owned by one thread; the body runs on the new thread.
class WorkerThread {
public:
    WorkerThread() = default;
    explicit WorkerThread(std::function<void()> body);
    WorkerThread(WorkerThread&&) noexcept = default;
    WorkerThread& operator=(WorkerThread&& other) noexcept;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits without a limit for a thread that is still attached.
    ~WorkerThread();

    // True when a thread was started and has neither ended nor been abandoned.
    bool Running() const;

    // Waits up to `limit` for the body to end. True: it ended and was joined.
    // False: it is still running and has been abandoned (detached).
    bool WaitFor(std::chrono::milliseconds limit);

    // Waits without a limit.
    void Join();

private:
    struct State;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace tesslow
