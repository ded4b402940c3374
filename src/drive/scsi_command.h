#pragma once

#include "drive/scsi_transport.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

namespace tesslow {

// One open drive and the command block reused for every command sent through
// it. Each command method prepares the block (cleared; 18 sense bytes; 30 s
// time-out, 120 s for READ TOC; the CDB bytes of the command table), sends it
// and answers a status value (see scsi_status.h). Nothing here throws or
// shows a message: callers turn statuses into their own messages.
//
// Ownership: 1 (the start value) = the drive handle is this object's own and
// is closed by Close or destruction; 0 = the handle is borrowed from another
// ScsiCommand and is never closed by this one. A borrower shares the handle
// object, so it stays valid memory after the owner has closed it; from then
// on the borrower's commands fail.
//
// Thread use: command methods lock the block, so an object shared through a
// DiscRecord may be used from several threads; commands simply take turns.
class ScsiCommand {
public:
    ScsiCommand() = default;
    ~ScsiCommand();
    ScsiCommand(const ScsiCommand&) = delete;
    ScsiCommand& operator=(const ScsiCommand&) = delete;

    // Opens the drive named by `driveKey` (see drive_list.h): an emulated drive
    // for a disc image's CUE sheet, the SG_IO device otherwise. A path that is
    // not an optical drive fails without touching the device. On failure
    // errno tells why and the object stays closed.
    bool Open(const std::string& driveKey);

    // Shares the open handle of `owner` with ownership 0.
    void Borrow(const ScsiCommand& owner);

    // Uses `transport` as an owned handle for `driveKey` (tests and tools).
    void Adopt(std::shared_ptr<ScsiTransport> transport, const std::string& driveKey);

    // Closes an owned handle; drops a borrowed one, leaving it open. Harmless
    // when already closed.
    void Close();

    bool IsOpen() const;
    int Ownership() const { return ownership_; }
    const std::string& DriveKey() const { return driveKey_; }
    std::shared_ptr<ScsiTransport> Transport() const;

    // Sends one CDB of 6, 10 or 12 bytes with the block preparation above.
    std::int32_t Execute(std::span<const std::uint8_t> cdb, DataDirection direction, void* buffer,
                         std::uint32_t length);

    // The command table.
    std::int32_t Inquiry(std::span<std::uint8_t> answer);                // 36 bytes
    std::int32_t GetConfiguration(std::span<std::uint8_t> answer);       // RT = 1, 8 bytes
    std::int32_t ReadDiscInformation(std::span<std::uint8_t> answer);    // 32 bytes
    std::int32_t ReadToc(std::uint8_t format, std::uint8_t startingTrack, std::span<std::uint8_t> answer);
    std::int32_t ReadCd(std::int32_t lba, std::uint8_t sectors, void* buffer);  // sectors x 2352 bytes
    // READ CD with the formatted Q: each sector's 2352 bytes then its 16-byte Q.
    std::int32_t ReadCdWithQ(std::int32_t lba, std::uint8_t sectors, void* buffer);  // sectors x 2368 bytes
    // READ SUB-CHANNEL with SubQ set: format 02h (catalog number) or 03h (the
    // ISRC of `track`); 24 bytes.
    std::int32_t ReadSubChannel(std::uint8_t format, std::uint8_t track, std::span<std::uint8_t> answer);
    std::int32_t SetCdSpeed(std::uint16_t readKBps, std::uint16_t writeKBps);
    std::int32_t StartStopUnit(bool immediate, bool loadEject);         // always "stop"
    std::int32_t AllowMediumRemoval();

private:
    std::shared_ptr<ScsiTransport> SharedHandle() const;

    mutable std::mutex mutex_;
    std::shared_ptr<ScsiTransport> handle_;
    int ownership_ = 1;
    std::string driveKey_;
    CommandBlock block_;
    std::array<std::uint8_t, 20> sense_{};  // 18 asked for, in a 20-byte area
};

}  // namespace tesslow
