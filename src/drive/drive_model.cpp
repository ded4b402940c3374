#include "drive/drive_model.h"

#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

namespace tesslow {

namespace {

std::string Field(const std::uint8_t* bytes, std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] >= 0x20 && bytes[i] < 0x7F) text += static_cast<char>(bytes[i]);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

DriveModel InquireDriveModel(ScsiCommand& drive)
{
    std::uint8_t answer[mmc::kInquiryLength] = {};
    if (drive.Inquiry(answer) != kScsiOk) return {};
    return {Field(answer + 8, 8), Field(answer + 16, 16), Field(answer + 32, 4)};
}

bool RecordableDiscIn(ScsiCommand& drive)
{
    std::uint8_t answer[8] = {};
    if (drive.GetConfiguration(answer) != kScsiOk) return false;
    const unsigned profile = (answer[6] << 8) | answer[7];
    return profile == mmc::kProfileCdR || profile == mmc::kProfileCdRw;
}

}  // namespace tesslow
