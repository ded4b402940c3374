#pragma once

#include <sys/types.h>

#include <cstddef>

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

}  // namespace tesslow
