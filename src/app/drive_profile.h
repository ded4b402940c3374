#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesslow {

// A drive model as it names itself (the INQUIRY vendor and product strings,
// without their padding). Drives of one model read alike.
struct DriveModel {
    std::string vendor;
    std::string product;
    std::string revision;  // the firmware's; not part of the model

    bool Known() const { return !vendor.empty() || !product.empty(); }
    // "PLEXTOR DVDR   PX-716A" reads "PLEXTOR DVDR PX-716A".
    std::string Name() const;
};

// What is remembered of a drive model in the user store, under
// ...\tesslow\Drives\<vendor> <product>: its read offset correction
// (ReadOffset, a DWORD holding the signed number of samples) and whether its
// reads may go past the ends of the disc's audio (Overread).
struct DriveProfile {
    std::optional<std::int32_t> readOffset;  // none: not known; a stored value out of range counts as none
    bool overread = false;
};

// A model that is not Known() has nothing remembered, and nothing is stored
// for it. Failures of the store read as nothing remembered; writing answers
// false when the store could not be written.
DriveProfile LoadDriveProfile(const DriveModel& model);
bool RememberReadOffset(const DriveModel& model, std::int32_t samples);
bool RememberOverread(const DriveModel& model, bool overread);

}  // namespace tesslow
