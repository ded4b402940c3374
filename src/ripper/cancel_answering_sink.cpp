#include "ripper/cancel_answering_sink.h"

#include "platform/messages.h"

namespace tesslow {

void CancelAnsweringSink::Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    inner_->Post(id, wParam, lParam);
}

std::intptr_t CancelAnsweringSink::Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (id == UM_RIP_QUERY_CANCEL) return cancelConfirmed_ ? 1 : 0;
    return inner_->Send(id, wParam, lParam);
}

}  // namespace tesslow
