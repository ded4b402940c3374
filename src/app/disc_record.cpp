#include "app/disc_record.h"

namespace tesslow {

std::int32_t AudioEnd(const DiscRecord& disc)
{
    if (disc.tracks.empty()) return 0;
    return disc.tracks.back().start + disc.tracks.back().length;
}

DiscRecord& DiscRecords::operator[](const std::string& driveKey)
{
    std::lock_guard lock(mutex_);
    return records_[driveKey];
}

}  // namespace tesslow
