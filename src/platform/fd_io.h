#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>

namespace tesslow {

// read(2) that retries when a signal interrupts it. Returns the byte count, 0 at
// the end of data, -1 with errno set on failure.
ssize_t ReadSome(int fd, void* buffer, std::size_t size);

// Writes all bytes, retrying after signals and short writes. Returns false with
// errno set when the descriptor refuses (EPIPE once a pipe's reader is gone).
bool WriteAll(int fd, const void* data, std::size_t size);

// Reads until `size` bytes have arrived or the data ends. Returns the byte count
// read, or -1 with errno set on failure.
ssize_t ReadFull(int fd, void* buffer, std::size_t size);

// ReadFull that also gives up while waiting: every `interval` without data it
// asks `giveUp`, and returns what has arrived so far once that answers true.
ssize_t ReadFullUnless(int fd, void* buffer, std::size_t size, int intervalMs, const std::function<bool()>& giveUp);

}  // namespace tesslow
