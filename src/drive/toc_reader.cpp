#include "drive/toc_reader.h"

#include "app/disc_record.h"
#include "drive/cd_text.h"
#include "drive/hidden_track.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <stdexcept>

namespace tesslow {

std::int32_t ReadWholeToc(ScsiCommand& drive, std::vector<std::uint8_t>& rawToc)
{
    std::uint8_t head[mmc::kTocHeadLength] = {};
    if (const std::int32_t status = drive.ReadToc(mmc::kTocFormatTracks, 1, head)) return status;
    rawToc.assign(ReadBigEndian16(head) + 2, 0);
    return drive.ReadToc(mmc::kTocFormatTracks, head[2], rawToc);
}

SessionInfo ReadSessionInfo(ScsiCommand& drive)
{
    std::uint8_t answer[12] = {};
    SessionInfo info;
    if (drive.ReadToc(mmc::kTocFormatSessions, 0, answer) != kScsiOk) return info;
    info.firstSession = answer[2];
    info.lastSession = answer[3];
    info.firstTrackOfLastSession = answer[6];
    return info;
}

std::optional<CdText> ReadCdText(ScsiCommand& drive)
{
    std::uint8_t head[4] = {};
    if (drive.ReadToc(mmc::kTocFormatCdText, 0, head) != kScsiOk) return std::nullopt;
    // The allocation length is 16 bits: a longer answer is read as far as it goes.
    const std::size_t length = std::min<std::size_t>(ReadBigEndian16(head) + 2, 0xFFFF);
    if (length < 4 + kCdTextPackBytes) return std::nullopt;
    std::vector<std::uint8_t> answer(length, 0);
    if (drive.ReadToc(mmc::kTocFormatCdText, 0, answer) != kScsiOk) return std::nullopt;
    CdText text = ParseCdText(answer);
    if (text.blocks.empty()) return std::nullopt;
    return text;
}

void ReadToc(DiscRecords& records, const std::string& driveKey)
{
    DiscRecord& record = records[driveKey];
    if (!record.drive) {
        record.drive = std::make_shared<ScsiCommand>();
        (void)record.drive->Open(driveKey);
    }
    std::vector<std::uint8_t> rawToc;
    if (ReadWholeToc(*record.drive, rawToc) != kScsiOk)
        throw std::runtime_error("Cannot read disc's TOC. Is this disc readable?");
    if (rawToc == record.rawToc) return;
    const SessionInfo sessions = ReadSessionInfo(*record.drive);
    record.rawToc = std::move(rawToc);
    record.album = AlbumInfo{};
    ParseToc(record.rawToc, sessions, record);
    record.hasAudio = !record.tracks.empty();
    record.hiddenTrack = FindHiddenTrack(*record.drive, record);
    record.cdText = record.hasAudio ? ReadCdText(*record.drive) : std::nullopt;
}

std::int32_t TrackStartSector(const DiscRecord& record, std::size_t index)
{
    return index < record.tracks.size() ? record.tracks[index].start : 0;
}

}  // namespace tesslow
