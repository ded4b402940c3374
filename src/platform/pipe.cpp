#include "platform/pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <mutex>

namespace tesslow {

void IgnoreSigpipe()
{
    static std::once_flag once;
    std::call_once(once, [] { ::signal(SIGPIPE, SIG_IGN); });
}

std::size_t MaximumPipeSize()
{
    static const std::size_t maximum = [] {
        std::size_t value = 1 << 20;
        std::ifstream in("/proc/sys/fs/pipe-max-size");
        in >> value;
        return value;
    }();
    return maximum;
}

Pipe::Pipe(std::size_t sizeHint)
{
    IgnoreSigpipe();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    readEnd.Reset(fds[0]);
    writeEnd.Reset(fds[1]);
    if (sizeHint > 0) {
        const auto size = static_cast<int>(std::min(sizeHint, MaximumPipeSize()));
        // A refusal (the user's pipe quota is used up) leaves the default size,
        // which only costs speed.
        (void)::fcntl(writeEnd.Get(), F_SETPIPE_SZ, size);
    }
}

}  // namespace tesslow
