#include "drive/preview_reader.h"

#include "app/disc_record.h"
#include "drive/drive_model.h"
#include "drive/mmc.h"
#include "drive/read_offset.h"
#include "drive/scsi_status.h"
#include "platform/format.h"
#include "platform/system_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tesslow {

PreviewReader::PreviewReader(DiscRecords& records, const std::string& driveKey, std::int32_t firstSector,
                             std::int32_t sectorCount)
    : firstSector_(firstSector), sectorCount_(sectorCount), nextSector_(firstSector)
{
    DiscRecord& record = records[driveKey];
    if (record.drive && record.drive->IsOpen()) {
        drive_.Borrow(*record.drive);
    } else if (!drive_.Open(driveKey)) {
        throw std::runtime_error(Format("Cannot access CD drive: %1%.", SystemErrorText(errno)));
    }
    if (record.rawToc.empty()) throw std::runtime_error("Internal error #141.");
    // The preview plays the disc's audio where a rip puts it: corrected by the
    // offset remembered for this drive model (no overread: a preview never
    // needs the few samples outside the disc).
    offset_ = LoadDriveProfile(InquireDriveModel(drive_)).readOffset.value_or(0);
    audioEnd_ = AudioEnd(record);
    (void)drive_.SetCdSpeed(mmc::kSingleSpeedKBps, mmc::kSingleSpeedKBps);
}

PreviewReader::~PreviewReader()
{
    (void)drive_.SetCdSpeed(mmc::kMaximumSpeedKBps, mmc::kMaximumSpeedKBps);
}

std::size_t PreviewReader::Deliver(std::uint8_t* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, queueSize_);
    std::memcpy(buffer, queue_.data() + queueStart_, n);
    queueStart_ += n;
    queueSize_ -= n;
    if (queueSize_ == 0) queueStart_ = 0;
    return n;
}

std::size_t PreviewReader::Read(std::uint8_t* buffer, std::size_t size)
{
    std::size_t delivered = Deliver(buffer, size);
    std::uint8_t sector[kSectorBytes];
    while (delivered < size && nextSector_ < firstSector_ + sectorCount_) {
        if (ReadCorrected(drive_, ReadOffset{offset_}, audioEnd_, nextSector_, 1, sector) != kScsiOk) break;
        ++nextSector_;
        // The queue is empty here: everything before was delivered.
        std::memcpy(queue_.data(), sector, kSectorBytes);
        queueStart_ = 0;
        queueSize_ = kSectorBytes;
        delivered += Deliver(buffer + delivered, size - delivered);
    }
    return delivered;
}

}  // namespace tesslow
