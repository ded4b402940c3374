#include "drive/scsi_command.h"

#include "drive/drive_list.h"
#include "drive/mmc.h"
#include "drive/q_frame.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <cerrno>

namespace tesslow {

ScsiCommand::~ScsiCommand() { Close(); }

bool ScsiCommand::Open(const std::string& driveKey)
{
    Close();
    auto transport = OpenDriveTransport(driveKey);
    if (!transport) return false;
    std::lock_guard lock(mutex_);
    handle_ = std::move(transport);
    ownership_ = 1;
    driveKey_ = driveKey;
    return true;
}

void ScsiCommand::Borrow(const ScsiCommand& owner)
{
    auto shared = owner.SharedHandle();
    const std::string key = owner.DriveKey();
    Close();
    std::lock_guard lock(mutex_);
    handle_ = std::move(shared);
    ownership_ = 0;
    driveKey_ = key;
}

void ScsiCommand::Adopt(std::shared_ptr<ScsiTransport> transport, const std::string& driveKey)
{
    Close();
    std::lock_guard lock(mutex_);
    handle_ = std::move(transport);
    ownership_ = 1;
    driveKey_ = driveKey;
}

void ScsiCommand::Close()
{
    std::lock_guard lock(mutex_);
    if (!handle_) return;
    // Ownership above 1 would mark a locked volume; Linux has no volume
    // locking, so there is nothing to unlock before closing.
    if (ownership_ != 0) handle_->Close();
    handle_.reset();
}

bool ScsiCommand::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return handle_ && handle_->IsOpen();
}

std::shared_ptr<ScsiTransport> ScsiCommand::Transport() const { return SharedHandle(); }

std::shared_ptr<ScsiTransport> ScsiCommand::SharedHandle() const
{
    std::lock_guard lock(mutex_);
    return handle_;
}

std::int32_t ScsiCommand::Execute(std::span<const std::uint8_t> cdb, DataDirection direction, void* buffer,
                                  std::uint32_t length)
{
    std::lock_guard lock(mutex_);
    if (!handle_) {
        errno = EBADF;
        return kScsiCallFailed;
    }
    block_ = CommandBlock{};
    sense_.fill(0);
    block_.cdbLength = static_cast<std::uint8_t>(std::min(cdb.size(), block_.cdb.size()));
    std::copy_n(cdb.begin(), block_.cdbLength, block_.cdb.begin());
    block_.timeoutSeconds = cdb.empty() || cdb[0] != mmc::kReadToc ? mmc::kDefaultTimeoutSeconds
                                                                   : mmc::kReadTocTimeoutSeconds;
    block_.direction = buffer && length ? direction : DataDirection::None;
    block_.buffer = block_.direction == DataDirection::None ? nullptr : buffer;
    block_.length = block_.direction == DataDirection::None ? 0 : length;

    if (!handle_->Send(block_, std::span<std::uint8_t, kSenseLength>(sense_.data(), kSenseLength)))
        return kScsiCallFailed;
    return PackSense(std::span<const std::uint8_t>(sense_.data(), kSenseLength));
}

std::int32_t ScsiCommand::Inquiry(std::span<std::uint8_t> answer)
{
    const std::uint8_t cdb[6] = {mmc::kInquiry, 0, 0, 0, static_cast<std::uint8_t>(mmc::kInquiryLength), 0};
    return Execute(cdb, DataDirection::In, answer.data(),
                   std::min<std::uint32_t>(mmc::kInquiryLength, static_cast<std::uint32_t>(answer.size())));
}

std::int32_t ScsiCommand::GetConfiguration(std::span<std::uint8_t> answer)
{
    const std::uint8_t cdb[10] = {mmc::kGetConfiguration, 0x01, 0, 0, 0, 0, 0, 0,
                                  static_cast<std::uint8_t>(mmc::kConfigurationHeaderLength), 0};
    return Execute(cdb, DataDirection::In, answer.data(),
                   std::min<std::uint32_t>(mmc::kConfigurationHeaderLength, static_cast<std::uint32_t>(answer.size())));
}

std::int32_t ScsiCommand::ReadDiscInformation(std::span<std::uint8_t> answer)
{
    const std::uint8_t cdb[10] = {mmc::kReadDiscInformation, 0, 0, 0, 0, 0, 0, 0,
                                  static_cast<std::uint8_t>(mmc::kDiscInformationLength), 0};
    return Execute(cdb, DataDirection::In, answer.data(),
                   std::min<std::uint32_t>(mmc::kDiscInformationLength, static_cast<std::uint32_t>(answer.size())));
}

std::int32_t ScsiCommand::ReadToc(std::uint8_t format, std::uint8_t startingTrack, std::span<std::uint8_t> answer)
{
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(answer.size(), 0xFFFF));
    std::uint8_t cdb[10] = {mmc::kReadToc, 0, format, 0, 0, 0, startingTrack, 0, 0, 0};
    WriteBigEndian16(cdb + 7, length);
    return Execute(cdb, DataDirection::In, answer.data(), length);
}

namespace {

void PrepareReadCd(std::uint8_t (&cdb)[12], std::int32_t lba, std::uint8_t sectors, std::uint8_t subchannel)
{
    const std::uint8_t fields[12] = {mmc::kReadCd, 0, 0, 0, 0, 0, 0, 0, sectors, mmc::kReadCdFullSector, subchannel, 0};
    std::copy(std::begin(fields), std::end(fields), cdb);
    // Bytes 2..5 hold the LBA; the disc's addresses fit in the low three. An
    // overread before the disc's first sector is a negative address, sent as
    // MMC has it: all four bytes, two's complement.
    WriteBigEndian32(cdb + 2, static_cast<std::uint32_t>(lba));
    if (lba >= 0) cdb[2] = 0;
}

}  // namespace

std::int32_t ScsiCommand::ReadCd(std::int32_t lba, std::uint8_t sectors, void* buffer)
{
    std::uint8_t cdb[12];
    PrepareReadCd(cdb, lba, sectors, 0);
    return Execute(cdb, DataDirection::In, buffer, sectors * kSectorBytes);
}

std::int32_t ScsiCommand::ReadCdWithQ(std::int32_t lba, std::uint8_t sectors, void* buffer)
{
    std::uint8_t cdb[12];
    PrepareReadCd(cdb, lba, sectors, mmc::kReadCdFormattedQ);
    return Execute(cdb, DataDirection::In, buffer, sectors * (kSectorBytes + kQFrameBytes));
}

std::int32_t ScsiCommand::ReadSubChannel(std::uint8_t format, std::uint8_t track, std::span<std::uint8_t> answer)
{
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(answer.size(), mmc::kSubChannelAnswerLength));
    std::uint8_t cdb[10] = {mmc::kReadSubChannel, 0, 0x40, format, 0, 0, track, 0, 0, 0};
    WriteBigEndian16(cdb + 7, length);
    return Execute(cdb, DataDirection::In, answer.data(), length);
}

std::int32_t ScsiCommand::SetCdSpeed(std::uint16_t readKBps, std::uint16_t writeKBps)
{
    std::uint8_t cdb[12] = {mmc::kSetCdSpeed, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    WriteBigEndian16(cdb + 2, readKBps);
    WriteBigEndian16(cdb + 4, writeKBps);
    return Execute(cdb, DataDirection::None, nullptr, 0);
}

std::int32_t ScsiCommand::StartStopUnit(bool immediate, bool loadEject)
{
    const std::uint8_t cdb[6] = {mmc::kStartStopUnit, static_cast<std::uint8_t>(immediate ? 0x01 : 0x00), 0, 0,
                                 static_cast<std::uint8_t>(loadEject ? 0x02 : 0x00), 0};
    return Execute(cdb, DataDirection::None, nullptr, 0);
}

std::int32_t ScsiCommand::AllowMediumRemoval()
{
    const std::uint8_t cdb[6] = {mmc::kPreventAllowMediumRemoval, 0, 0, 0, 0, 0};
    return Execute(cdb, DataDirection::None, nullptr, 0);
}

}  // namespace tesslow
