#include "platform/fd_io.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tesslow {

ssize_t ReadSome(int fd, void* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool WriteAll(int fd, const void* data, std::size_t size)
{
    auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

ssize_t ReadFull(int fd, void* buffer, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = ReadSome(fd, bytes + total, size - total);
        if (n < 0) return -1;
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

ssize_t ReadFullUnless(int fd, void* buffer, std::size_t size, int intervalMs, const std::function<bool()>& giveUp)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < size) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, intervalMs);
        if (polled < 0 && errno != EINTR) return -1;
        if (polled <= 0) {
            if (giveUp()) break;
            continue;
        }
        const ssize_t n = ReadSome(fd, bytes + total, size - total);
        if (n < 0) return -1;
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

}  // namespace tesslow
