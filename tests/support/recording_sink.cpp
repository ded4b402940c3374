#include "support/recording_sink.h"

#include "platform/messages.h"

namespace tesslow::test {

void RecordingSink::Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::lock_guard lock(mutex_);
    entries_.push_back({{id, wParam, lParam}, false, {}});
}

std::intptr_t RecordingSink::Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::function<std::intptr_t(const Message&)> answer;
    {
        std::lock_guard lock(mutex_);
        Entry entry{{id, wParam, lParam}, true, {}};
        if ((id == UM_RIP_ERROR || id == UM_RIP_NOTE) && wParam) entry.text = reinterpret_cast<const char*>(wParam);
        entries_.push_back(std::move(entry));
        answer = answer_;
    }
    return answer ? answer(Message{id, wParam, lParam}) : 0;
}

void RecordingSink::Answer(std::function<std::intptr_t(const Message&)> answer)
{
    std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
}

std::vector<RecordingSink::Entry> RecordingSink::Entries() const
{
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::uint32_t> RecordingSink::Ids() const
{
    std::vector<std::uint32_t> ids;
    for (const Entry& entry : Entries()) ids.push_back(entry.message.id);
    return ids;
}

std::vector<RecordingSink::Entry> RecordingSink::Of(std::uint32_t id) const
{
    std::vector<Entry> found;
    for (const Entry& entry : Entries())
        if (entry.message.id == id) found.push_back(entry);
    return found;
}

std::vector<std::string> RecordingSink::ErrorLines() const
{
    std::vector<std::string> lines;
    for (const Entry& entry : Of(UM_RIP_ERROR)) lines.push_back(entry.text);
    return lines;
}

}  // namespace tesslow::test

namespace tesslow::test {

std::vector<std::string> RecordingSink::Notes() const
{
    std::vector<std::string> lines;
    for (const Entry& entry : Of(UM_RIP_NOTE)) lines.push_back(entry.text);
    return lines;
}

}  // namespace tesslow::test
