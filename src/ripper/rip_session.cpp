#include "ripper/rip_session.h"

#include "platform/message_queue.h"
#include "platform/messages.h"
#include "ripper/cancel_answering_sink.h"

#include <algorithm>

namespace tesslow {

namespace {

// Messages handled in one go before Pump looks at the clock again, so that a
// fast worker cannot keep a front end's event loop busy.
constexpr int kMessagesPerRound = 256;

std::uint64_t NowMs()
{
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

}  // namespace

RipSession::RipSession(RipWorkerSetup setup, RipDisplay& display, std::function<void()> wake)
    : setup_(std::move(setup)),
      display_(display),
      queue_(std::make_shared<MessageQueue>(std::move(wake))),
      sink_(std::make_shared<CancelAnsweringSink>(queue_))
{
    setup_.sink = sink_;
    setup_.abandoned = abandoned_;
    cancelRequested_ = setup_.cancelRequested;
}

RipSession::~RipSession()
{
    if (!started_ || ended_) return;
    ConfirmCancel();
    End(kCancelDeadline);
}

void RipSession::Start()
{
    if (started_) return;
    started_ = true;
    nextTick_ = Clock::now() + kTick;
    worker_ = WorkerThread([setup = std::move(setup_)]() mutable { (void)RipWorker(std::move(setup)).Run(); });
}

bool RipSession::Pump(std::chrono::milliseconds wait)
{
    if (!started_) return !ended_;
    const auto until = Clock::now() + wait;
    int handled = 0;
    while (!ended_) {
        if (cancelRequested_ && cancelRequested_->load()) ConfirmCancel();
        const auto now = Clock::now();
        if (now >= nextTick_) Tick(now);
        if (deadline_ && now >= *deadline_) {
            *abandoned_ = true;  // before letting go, so that a late worker skips its end actions
            End(std::chrono::milliseconds(0));
            break;
        }
        if (now >= until && handled >= kMessagesPerRound) break;
        const auto next = std::min({until, nextTick_, deadline_.value_or(until)});
        const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(std::max(next - now, Clock::duration::zero()));
        const bool arrived = queue_->Dispatch(
            [this](const Message& message) {
                // The worker may have heard the request while this side waited
                // for its messages; it is confirmed before any of them, so that
                // the end of a canceled job is never taken for a finish.
                if (cancelRequested_ && cancelRequested_->load()) ConfirmCancel();
                const std::intptr_t answer = monitor_.Handle(message, NowMs());
                display_.OnRipMessage(message, monitor_);
                return answer;
            },
            timeout);
        if (arrived) {
            ++handled;
            if (monitor_.Finished()) End(kCancelDeadline);
        } else if (Clock::now() >= until) {
            break;
        }
    }
    return !ended_;
}

void RipSession::ConfirmCancel()
{
    if (ended_ || monitor_.CancelConfirmed()) return;
    sink_->ConfirmCancel();
    monitor_.ConfirmCancel();
    deadline_ = Clock::now() + kCancelDeadline;
}

void RipSession::ConfirmCancelAgain()
{
    if (ended_) return;
    if (!monitor_.CancelConfirmed()) return ConfirmCancel();
    deadline_ = Clock::now() + kCancelDeadline;
}

void RipSession::Tick(Clock::time_point now)
{
    monitor_.Tick(NowMs());
    display_.OnRipTick(monitor_);
    nextTick_ += kTick;
    if (nextTick_ <= now) nextTick_ = now + kTick;  // ticks missed while the front end was busy are dropped
}

void RipSession::End(std::chrono::milliseconds wait)
{
    ended_ = true;
    // From here the worker's messages are dropped and its questions answered
    // at once; a worker that does not end within `wait` runs on alone.
    queue_->Close();
    if (!worker_.WaitFor(wait)) *abandoned_ = true;
}

}  // namespace tesslow
