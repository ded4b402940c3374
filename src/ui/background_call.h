#pragma once

#include "platform/worker_thread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

namespace tesslow {

// One piece of slow work (a drive command, a file write) run on a thread of
// its own, its result handed to `done` on the GUI thread by a queued call.
// Cancel, a new Start and the destructor drop a result not handed over yet
// and never wait: a thread still working is left to end on its own, so the
// work must own (by value or shared ownership) everything it touches, and
// must not throw. `done` runs only while the call is pending, so it may use
// the object that holds the call.
//
// Owned and used by the GUI thread.
template <typename Result>
class BackgroundCall {
public:
    BackgroundCall() = default;
    BackgroundCall(const BackgroundCall&) = delete;
    BackgroundCall& operator=(const BackgroundCall&) = delete;
    ~BackgroundCall() { Cancel(); }

    void Start(std::function<Result()> work, std::function<void(Result)> done)
    {
        Cancel();
        auto over = std::make_shared<std::atomic<bool>>(false);
        over_ = over;
        thread_ = WorkerThread([work = std::move(work), done = std::move(done), over]() mutable {
            Result result = work();
            if (over->load()) return;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [done = std::move(done), over, result = std::move(result)]() mutable {
                    if (over->exchange(true)) return;  // cancelled meanwhile
                    done(std::move(result));
                },
                Qt::QueuedConnection);
        });
    }

    // True from Start until the result is handed over or dropped.
    bool Pending() const { return over_ && !over_->load(); }

    void Cancel()
    {
        if (over_) over_->store(true);
        thread_.WaitFor(std::chrono::milliseconds(0));  // joined if it has ended, else left behind
    }

private:
    std::shared_ptr<std::atomic<bool>> over_;
    WorkerThread thread_;
};

}  // namespace tesslow
