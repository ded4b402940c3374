#pragma once

#include "platform/message_sink.h"
#include "platform/worker_thread.h"
#include "ripper/rip_monitor.h"
#include "ripper/rip_worker.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

class CancelAnsweringSink;
class MessageQueue;

// What a front end shows of a running rip. Called on the thread that pumps
// the session, after the session's monitor has taken the news in.
class RipDisplay {
public:
    virtual ~RipDisplay() = default;
    // A message from the worker: the start, a track, progress, an error line, the end.
    virtual void OnRipMessage(const Message& message, const RipMonitor& monitor) = 0;
    // Every 500 ms while the job runs, after the clock has moved on: bars and times.
    virtual void OnRipTick(const RipMonitor& monitor) = 0;
};

// One rip job run for a front end: the wizard's progress page or tesslow-rip.
// It runs the rip worker on a thread of its own, carries the worker's
// messages to the front end's thread through a queue, keeps the monitor
// (bars, clock, error lines, result) and the 500 ms tick, and answers the
// worker's cancel question from the front end's cancel.
//
// After a confirmed cancel the worker has 5 s to finish; a worker that misses
// the deadline is abandoned and the session ends as canceled. An abandoned
// worker never touches what the session or the front end own: it holds its
// job, its disc record snapshot, its settings, its sink, the overwrite
// policy, the question and the shell by shared ownership; its messages are
// dropped, the cancel question is answered with yes, and when it comes back
// to life it deletes the file of its track and skips the end actions (eject,
// open folder). A question the front end implements must therefore hold what
// it uses by shared ownership too.
//
// Used by one thread, the front end's, which calls Pump until the session
// has ended.
class RipSession {
public:
    static constexpr std::chrono::milliseconds kCancelDeadline{5000};
    static constexpr std::chrono::milliseconds kTick{500};

    // `setup.sink` is replaced by the session's own. `wake`, when given, is
    // called on the worker's thread each time a message waits, so that a
    // front end with an event loop of its own can call Pump soon rather than
    // poll; it must be quick and thread-safe, and is not called once the
    // session has ended.
    RipSession(RipWorkerSetup setup, RipDisplay& display, std::function<void()> wake = {});
    // A session still running is cancelled first: its worker gets the
    // deadline, then is abandoned.
    ~RipSession();
    RipSession(const RipSession&) = delete;
    RipSession& operator=(const RipSession&) = delete;

    // Starts the worker thread; once.
    void Start();

    // Handles the worker's messages that arrive within `wait` (with 0, those
    // already waiting), the tick and the deadline when they are due. Answers
    // false once the session has ended: the worker posted UM_RIP_FINISHED, or
    // it missed the deadline.
    bool Pump(std::chrono::milliseconds wait);

    // The user confirmed Cancel: the worker learns it at its next question and
    // the deadline starts. Later calls change nothing. A cancel request set in
    // the setup (RipWorkerSetup::cancelRequested) is confirmed by Pump, before
    // any message the worker sent after seeing it.
    void ConfirmCancel();
    // The user confirmed Cancel once more while it was under way: the
    // deadline starts again from now, as a fresh confirmation's would.
    void ConfirmCancelAgain();
    bool CancelConfirmed() const { return monitor_.CancelConfirmed(); }

    bool Abandoned() const { return abandoned_->load(); }  // the worker missed the deadline
    const RipMonitor& Monitor() const { return monitor_; }
    RipResult Result() const { return monitor_.Result(); }
    const std::vector<std::string>& ErrorLines() const { return monitor_.ErrorLines(); }

private:
    using Clock = std::chrono::steady_clock;

    void Handle(const Message& message);
    void Tick(Clock::time_point now);
    void End(std::chrono::milliseconds wait);

    RipWorkerSetup setup_;
    RipDisplay& display_;
    std::shared_ptr<MessageQueue> queue_;
    std::shared_ptr<CancelAnsweringSink> sink_;
    RipMonitor monitor_;
    WorkerThread worker_;
    bool started_ = false;
    bool ended_ = false;
    std::shared_ptr<std::atomic<bool>> abandoned_ = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<const std::atomic<bool>> cancelRequested_;
    Clock::time_point nextTick_{};
    std::optional<Clock::time_point> deadline_;
};

}  // namespace tesslow
