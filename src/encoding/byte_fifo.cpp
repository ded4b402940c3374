#include "encoding/byte_fifo.h"

#include <algorithm>
#include <cstring>

namespace tesslow {

ByteFifo::ByteFifo(std::size_t capacity) : storage_(new std::uint8_t[capacity]), capacity_(capacity) {}

std::size_t ByteFifo::Push(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::size_t total = std::min(size, Free());
    std::size_t done = 0;
    while (done < total) {  // at most two runs: up to the end of the storage, then from its start
        const std::size_t run = std::min(total - done, capacity_ - write_);
        std::memcpy(storage_.get() + write_, bytes + done, run);
        write_ = (write_ + run) % capacity_;
        done += run;
    }
    count_ += total;
    return total;
}

std::size_t ByteFifo::Pop(void* out, std::size_t size)
{
    auto* bytes = static_cast<std::uint8_t*>(out);
    const std::size_t total = std::min(size, count_);
    std::size_t done = 0;
    while (done < total) {
        const std::size_t run = std::min(total - done, capacity_ - read_);
        std::memcpy(bytes + done, storage_.get() + read_, run);
        read_ = (read_ + run) % capacity_;
        done += run;
    }
    count_ -= total;
    return total;
}

}  // namespace tesslow
