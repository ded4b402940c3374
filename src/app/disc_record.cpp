#include "app/disc_record.h"

namespace tesslow {

DiscRecord& DiscRecords::operator[](const std::string& driveKey)
{
    std::lock_guard lock(mutex_);
    return records_[driveKey];
}

}  // namespace tesslow
