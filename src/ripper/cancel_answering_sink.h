#pragma once

#include "platform/message_sink.h"

#include <atomic>
#include <memory>

namespace tesslow {

// Passes a rip worker's messages on to `inner`, except the cancel question,
// which it answers at once from its own flag. The worker asks before every
// 26-sector chunk; answering from the flag spares it a round trip to the
// receiving thread each time (thousands per disc) while the answer stays as
// current as the flag. Thread-safe as `inner` is; holds `inner` as long as
// the worker holds this sink.
class CancelAnsweringSink final : public MessageSink {
public:
    explicit CancelAnsweringSink(std::shared_ptr<MessageSink> inner) : inner_(std::move(inner)) {}

    // From now on the cancel question is answered with yes. Any thread.
    void ConfirmCancel() { cancelConfirmed_ = true; }

    void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    std::shared_ptr<MessageSink> inner_;
    std::atomic<bool> cancelConfirmed_{false};
};

}  // namespace tesslow
