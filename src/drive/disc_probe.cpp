#include "drive/disc_probe.h"

#include "app/disc_record.h"
#include "drive/hidden_track.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"
#include "drive/toc_reader.h"

namespace tesslow {

namespace {

// The GET CONFIGURATION step: a CD profile, or for a drive that does not know
// the command, a disc that READ DISC INFORMATION (and READ TOC for a pressed
// disc) answers for.
bool IsCdMedium(ScsiCommand& drive)
{
    std::uint8_t configuration[mmc::kConfigurationHeaderLength] = {};
    const std::int32_t status = drive.GetConfiguration(configuration);
    if (status == kScsiOk) {
        const std::uint32_t profile = ReadBigEndian16(configuration + 6);
        return profile == mmc::kProfileCdRom || profile == mmc::kProfileCdR || profile == mmc::kProfileCdRw;
    }
    if (status != kSenseInvalidOpcode) return false;
    std::uint8_t information[mmc::kDiscInformationLength] = {};
    if (drive.ReadDiscInformation(information) != kScsiOk) return false;
    const bool erasable = information[2] & 0x10;
    const bool noLastLeadOut = information[21] == 0xFF && information[22] == 0xFF && information[23] == 0xFF;
    if (!erasable && noLastLeadOut) {
        std::uint8_t head[mmc::kTocHeadLength] = {};
        return drive.ReadToc(mmc::kTocFormatTracks, 1, head) == kScsiOk;
    }
    return true;
}

}  // namespace

bool ProbeDisc(DiscRecords& records, const std::string& driveKey)
{
    ScsiCommand drive;
    if (!drive.Open(driveKey)) return false;

    std::uint8_t inquiry[mmc::kInquiryLength] = {};
    if (drive.Inquiry(inquiry) != kScsiOk || (inquiry[0] & 0x1F) != mmc::kDeviceTypeOptical) return false;

    DiscRecord& record = records[driveKey];
    record.hasAudio = false;

    if (!IsCdMedium(drive)) return false;

    std::uint8_t information[mmc::kDiscInformationLength] = {};
    if (drive.ReadDiscInformation(information) != kScsiOk) return false;
    const int discStatus = information[2] & 0x03;
    if (discStatus != 1 && discStatus != 2) return false;

    std::vector<std::uint8_t> rawToc;
    if (ReadWholeToc(drive, rawToc) != kScsiOk) return false;
    const SessionInfo sessions = ReadSessionInfo(drive);
    const bool hasAudio = HasAudioDescriptor(rawToc);

    record.rawToc = std::move(rawToc);
    ParseToc(record.rawToc, sessions, record);
    record.hasAudio = hasAudio;
    record.hiddenTrack = hasAudio ? FindHiddenTrack(drive, record) : std::nullopt;
    record.cdText = hasAudio ? ReadCdText(drive) : std::nullopt;
    drive.Close();
    return hasAudio;
}

}  // namespace tesslow
