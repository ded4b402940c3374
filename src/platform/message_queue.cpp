#include "platform/message_queue.h"

namespace tesslow {

struct MessageQueue::Pending {
    Message message;
    bool sent = false;       // a Send is waiting for the answer
    bool answered = false;
    std::intptr_t answer = 0;
    std::condition_variable done;
};

MessageQueue::MessageQueue(std::function<void()> arrivalHook)
    : receiver_(std::this_thread::get_id()), arrivalHook_(std::move(arrivalHook))
{
}

void MessageQueue::Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    auto pending = std::make_shared<Pending>();
    pending->message = {id, wParam, lParam};
    std::lock_guard lock(mutex_);
    if (closed_) return;
    queue_.push_back(std::move(pending));
    arrived_.notify_all();
    if (arrivalHook_) arrivalHook_();
}

std::intptr_t MessageQueue::Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    auto pending = std::make_shared<Pending>();
    pending->message = {id, wParam, lParam};
    pending->sent = true;
    std::unique_lock lock(mutex_);
    if (closed_) return 0;
    if (std::this_thread::get_id() == receiver_) {
        // Waiting for itself would deadlock; nobody else can answer.
        return 0;
    }
    queue_.push_back(pending);
    arrived_.notify_all();
    if (arrivalHook_) arrivalHook_();
    pending->done.wait(lock, [&] { return pending->answered || closed_; });
    return pending->answered ? pending->answer : 0;
}

bool MessageQueue::Dispatch(const Handler& handler, std::chrono::milliseconds timeout)
{
    std::shared_ptr<Pending> pending;
    {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, timeout, [this] { return !queue_.empty() || closed_; })) return false;
        if (queue_.empty()) return false;
        pending = std::move(queue_.front());
        queue_.pop_front();
    }
    const std::intptr_t answer = handler(pending->message);
    if (pending->sent) {
        std::lock_guard lock(mutex_);
        pending->answer = answer;
        pending->answered = true;
        pending->done.notify_all();
    }
    return true;
}

void MessageQueue::Close()
{
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (auto& pending : queue_) pending->done.notify_all();
    queue_.clear();
    arrived_.notify_all();
}

}  // namespace tesslow
