#pragma once

#include "platform/message_sink.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tesslow {

// A message sink whose messages are handled on one receiving thread, in the
// order they arrived, like a window's message queue. Workers Post and Send from
// any thread; the receiver calls Dispatch in its loop.
//
// Send called on the receiving thread itself answers 0 at once. After Close,
// Post drops its message and Send answers 0 without waiting, so no worker can
// block on a receiver that has stopped listening.
//
// A receiver that runs an event loop of its own need not poll: the arrival
// hook runs on the sending thread each time a message has been queued (a Send
// is then waiting for its answer), so it can ask the loop to call Dispatch.
// It runs with the queue locked, must be quick and must not use the queue;
// it is never called after Close.
class MessageQueue final : public MessageSink {
public:
    using Handler = std::function<std::intptr_t(const Message&)>;

    explicit MessageQueue(std::function<void()> arrivalHook = {});

    void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Receiver side: waits up to `timeout` for a message and handles it with
    // `handler`. Returns false when none arrived in time.
    bool Dispatch(const Handler& handler, std::chrono::milliseconds timeout);

    void Close();

private:
    struct Pending;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::shared_ptr<Pending>> queue_;
    std::thread::id receiver_;
    std::function<void()> arrivalHook_;
    bool closed_ = false;
};

}  // namespace tesslow
