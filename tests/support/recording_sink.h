#pragma once

#include "platform/message_sink.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tesslow::test {

// A message sink that records every message in arrival order and answers sent
// messages with a function the test chooses (0 by default). The text behind a
// UM_RIP_ERROR or UM_RIP_NOTE is copied, since it is valid only during the call.
class RecordingSink final : public MessageSink {
public:
    struct Entry {
        Message message;
        bool sent = false;
        std::string text;  // UM_RIP_ERROR's or UM_RIP_NOTE's line
    };

    void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override;

    void Answer(std::function<std::intptr_t(const Message&)> answer);

    std::vector<Entry> Entries() const;
    std::vector<std::uint32_t> Ids() const;
    std::vector<Entry> Of(std::uint32_t id) const;
    std::vector<std::string> ErrorLines() const;
    std::vector<std::string> Notes() const;

private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    std::function<std::intptr_t(const Message&)> answer_;
};

}  // namespace tesslow::test
