#include "platform/worker_thread.h"

#include <condition_variable>
#include <mutex>

namespace tesslow {

struct WorkerThread::State {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

WorkerThread::WorkerThread(std::function<void()> body) : state_(std::make_shared<State>())
{
    thread_ = std::thread([state = state_, body = std::move(body)] {
        body();
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->ended.notify_all();
    });
}

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept
{
    if (this != &other) {
        Join();
        state_ = std::move(other.state_);
        thread_ = std::move(other.thread_);
    }
    return *this;
}

WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Running() const
{
    if (!thread_.joinable()) return false;
    std::lock_guard lock(state_->mutex);
    return !state_->done;
}

bool WorkerThread::WaitFor(std::chrono::milliseconds limit)
{
    if (!thread_.joinable()) return true;
    bool done;
    {
        std::unique_lock lock(state_->mutex);
        done = state_->ended.wait_for(lock, limit, [this] { return state_->done; });
    }
    if (done)
        thread_.join();
    else
        thread_.detach();
    return done;
}

void WorkerThread::Join()
{
    if (thread_.joinable()) thread_.join();
}

}  // namespace tesslow
