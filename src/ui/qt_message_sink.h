#pragma once

#include "platform/message_sink.h"

#include <atomic>
#include <functional>
#include <memory>

namespace tesslow {

// The Qt side of a worker's message sink: messages are handed to `handler` on
// the UI thread. Post is a queued call; Send blocks the worker until the UI
// thread has answered (a blocking queued call). Once Close is called (by the
// page, on the UI thread) nothing more is handed over: posts are dropped and a
// send answers `closedAnswer` (for a stop question: "stop").
//
// Held by shared ownership between the page and its worker, so a worker that
// was given up on can still talk to it safely.
class QtMessageSink final : public MessageSink {
public:
    using Handler = std::function<std::intptr_t(const Message& message)>;

    QtMessageSink(Handler handler, std::intptr_t closedAnswer = 0);

    void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Close() { closed_->store(true); }
    bool Closed() const { return closed_->load(); }

private:
    Handler handler_;
    std::intptr_t closedAnswer_;
    std::shared_ptr<std::atomic<bool>> closed_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace tesslow
