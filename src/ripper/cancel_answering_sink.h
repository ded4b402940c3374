#pragma once

#include "platform/message_sink.h"

#include <atomic>

namespace tesslow {

// Passes a rip worker's messages on to `inner`, except the cancel question,
// which it answers at once from `cancelConfirmed`. The worker asks before
// every 26-sector chunk; answering from the flag spares it a round trip to the
// receiving thread each time (thousands per disc) while the answer stays as
// current as the flag. Thread-safe as `inner` is.
class CancelAnsweringSink final : public MessageSink {
public:
    CancelAnsweringSink(MessageSink& inner, const std::atomic<bool>& cancelConfirmed)
        : inner_(inner), cancelConfirmed_(cancelConfirmed)
    {
    }

    void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    MessageSink& inner_;
    const std::atomic<bool>& cancelConfirmed_;
};

}  // namespace tesslow
