#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tesslow {

// A first-in first-out ring of bytes with a fixed capacity, allocated once.
// Push stores what fits and says how much; Pop takes what is there. Not
// thread-safe: one owner.
class ByteFifo {
public:
    explicit ByteFifo(std::size_t capacity);

    std::size_t Size() const { return count_; }
    std::size_t Free() const { return capacity_ - count_; }

    // Appends up to `size` bytes; returns how many were stored.
    std::size_t Push(const void* data, std::size_t size);
    // Moves up to `size` bytes into `out`; returns how many were taken.
    std::size_t Pop(void* out, std::size_t size);

private:
    std::unique_ptr<std::uint8_t[]> storage_;
    std::size_t capacity_;
    std::size_t read_ = 0;
    std::size_t write_ = 0;
    std::size_t count_ = 0;
};

}  // namespace tesslow
