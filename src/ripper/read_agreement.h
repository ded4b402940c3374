#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace tesslow {

// The reads of one track compared by their CRC-32: a copy is confirmed once
// two reads agree. At most kMostReads reads are made.
class ReadAgreement {
public:
    static constexpr int kMostReads = 5;

    // Adds a read; answers the index (from 0) of an earlier read it agrees
    // with, if any.
    std::optional<std::size_t> Add(std::uint32_t crc)
    {
        const auto found = std::find(crcs_.begin(), crcs_.end(), crc);
        const std::optional<std::size_t> earlier =
            found == crcs_.end() ? std::nullopt : std::optional<std::size_t>(found - crcs_.begin());
        crcs_.push_back(crc);
        return earlier;
    }

    int Reads() const { return static_cast<int>(crcs_.size()); }
    bool MayReadAgain() const { return Reads() < kMostReads; }

private:
    std::vector<std::uint32_t> crcs_;
};

}  // namespace tesslow
