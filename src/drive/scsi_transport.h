#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tesslow {

// Which way a command's data goes.
enum class DataDirection {
    None,  // no data phase
    In,    // from the device into the buffer
    Out,   // from the buffer to the device
};

// One MMC command as it goes to the device: the CDB, the data buffer and the
// time-out. The buffer belongs to the caller and is valid for the call only.
struct CommandBlock {
    std::array<std::uint8_t, 16> cdb{};
    std::uint8_t cdbLength = 0;
    DataDirection direction = DataDirection::None;
    void* buffer = nullptr;
    std::uint32_t length = 0;          // bytes
    std::uint32_t timeoutSeconds = 30;
};

// Sense bytes asked for with every command (the fixed format, up to the ASCQ
// and the field-replaceable unit code).
inline constexpr std::size_t kSenseLength = 18;

// How commands reach a drive: the SG_IO ioctl on a device, or the emulated
// drive. This is the seam between the command layer and the hardware.
//
// Send delivers one command and waits for it. It returns false when the
// command could not be delivered at all (errno tells why: the device is gone,
// closed, or the host adapter failed); true when the device answered, with its
// sense data in `sense` (all zero when it returned none). Send never throws.
//
// A transport is one open drive handle and may be shared by several command
// objects on several threads: implementations serialise commands, as the drive
// itself would, and Close makes every later Send fail with EBADF.
class ScsiTransport {
public:
    virtual ~ScsiTransport() = default;
    virtual bool Send(const CommandBlock& block, std::span<std::uint8_t, kSenseLength> sense) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

}  // namespace tesslow
