#include "drive/scsi_status.h"

namespace tesslow {

std::int32_t PackSense(std::span<const std::uint8_t> sense)
{
    if (sense.empty() || (sense[0] & 0x70) == 0) return kScsiOk;
    std::uint32_t key = 0, asc = 0, ascq = 0;
    const std::uint8_t responseCode = sense[0] & 0x7F;
    if (responseCode == 0x72 || responseCode == 0x73) {
        // Descriptor format: key, ASC and ASCQ in bytes 1..3.
        if (sense.size() >= 4) {
            key = sense[1] & 0x0F;
            asc = sense[2];
            ascq = sense[3];
        }
    } else if (sense.size() >= 14) {
        key = sense[2] & 0x0F;
        asc = sense[12];
        ascq = sense[13];
    }
    const std::int32_t status = static_cast<std::int32_t>((key << 16) | (asc << 8) | ascq);
    return status == 0 ? kScsiCallFailed : status;
}

}  // namespace tesslow
