#pragma once

#include "drive/scsi_transport.h"

#include <memory>
#include <string>
#include <vector>

namespace tesslow {

// Drives are named by keys: the device path of an optical drive ("/dev/sr0"),
// or the CUE sheet of a disc image played by the emulated drive.

// The drives to search, in a stable order. When TESSLOW_DRIVES is set it
// replaces the hardware list: its ':'-separated entries are drive keys (empty
// entries are skipped). Otherwise the optical drives the kernel knows
// (/dev/srN), in numeric order.
std::vector<std::string> ListDrives();

// True when `driveKey` is played by the emulated drive: it names a .cue file,
// or it is listed in TESSLOW_DRIVES and is not a device node.
bool IsEmulatedDriveKey(const std::string& driveKey);

// Opens the drive behind `driveKey`. An emulated drive always opens (a
// missing image is an empty drive). A device must be an optical drive
// (checked without opening it) and is opened read-write and non-blocking, so
// a drive without a disc can still be asked. nullptr with errno set on failure.
std::shared_ptr<ScsiTransport> OpenDriveTransport(const std::string& driveKey);

}  // namespace tesslow
