#pragma once

#include "platform/unique_fd.h"

#include <cstddef>

namespace tesslow {

// An anonymous pipe carrying raw bytes from one thread to another. Both ends are
// close-on-exec. SIGPIPE is ignored for the whole process once a pipe exists, so
// a write after the reader has closed its end fails with EPIPE instead of
// ending the process; a read of 0 bytes means the writer has closed its end.
class Pipe {
public:
    // sizeHint asks the kernel for a buffer of that many bytes (capped by
    // /proc/sys/fs/pipe-max-size; 0 keeps the default). When the pipe cannot be
    // created both ends are invalid and errno tells why.
    explicit Pipe(std::size_t sizeHint = 0);

    bool Valid() const { return readEnd.Valid() && writeEnd.Valid(); }

    UniqueFd readEnd;
    UniqueFd writeEnd;
};

// Ignores SIGPIPE for the process; called by Pipe, idempotent.
void IgnoreSigpipe();

// The largest pipe buffer an unprivileged process may ask for.
std::size_t MaximumPipeSize();

}  // namespace tesslow
