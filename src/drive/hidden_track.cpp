#include "drive/hidden_track.h"

#include "app/cd_audio.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <vector>

namespace tesslow {

std::optional<TocEntry> FindHiddenTrack(ScsiCommand& drive, const DiscRecord& disc)
{
    if (disc.tracks.empty() || disc.trackNumbers.front() != 1 || disc.tracks.front().start <= 0) return std::nullopt;
    const std::int32_t pregap = disc.tracks.front().start;
    constexpr std::int32_t kBatch = 26;
    std::vector<std::uint8_t> audio(kBatch * kSectorBytes);
    for (std::int32_t lba = 0; lba < pregap - 1; lba += kBatch) {
        const auto count = static_cast<std::uint8_t>(std::min(kBatch, pregap - 1 - lba));
        if (drive.ReadCd(lba, count, audio.data()) != kScsiOk) return std::nullopt;
        if (std::any_of(audio.begin(), audio.begin() + count * kSectorBytes, [](std::uint8_t b) { return b != 0; }))
            return TocEntry{0, pregap};
    }
    return std::nullopt;
}

}  // namespace tesslow
