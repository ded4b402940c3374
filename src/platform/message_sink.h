#pragma once

#include <cstdint>

namespace tesslow {

// One message as a worker hands it to the page it reports to.
struct Message {
    std::uint32_t id = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// How a worker thread talks back to the user interface without touching it.
// Post queues a message and returns at once; Send blocks the calling thread
// until the receiving thread has handled the message and returns its answer
// (pointers passed with Send stay valid for the call only). The wizard delivers
// on the UI thread, the command line on its main thread, tests record.
//
// Implementations are called from worker threads and must be thread-safe.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace tesslow
