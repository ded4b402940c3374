#include "drive/disc_codes.h"

#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tesslow {

namespace {

constexpr std::size_t kCodeAt = 9;
constexpr std::uint8_t kValid = 0x80;

std::string Code(ScsiCommand& drive, std::uint8_t format, std::uint8_t track, std::size_t length)
{
    std::array<std::uint8_t, mmc::kSubChannelAnswerLength> answer{};
    if (drive.ReadSubChannel(format, track, answer) != kScsiOk || (answer[8] & kValid) == 0) return {};
    std::string code(answer.begin() + kCodeAt, answer.begin() + kCodeAt + length);
    const bool digitsOnly = format == mmc::kSubChannelCatalog;
    const bool wellFormed = std::all_of(code.begin(), code.end(), [&](unsigned char c) {
        return (c >= '0' && c <= '9') || (!digitsOnly && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')));
    });
    if (!wellFormed || code.find_first_not_of('0') == std::string::npos) return {};
    std::transform(code.begin(), code.end(), code.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return code;
}

}  // namespace

DiscCodes ReadDiscCodes(ScsiCommand& drive, const DiscRecord& disc, const std::function<bool()>& canceled)
{
    DiscCodes codes;
    auto stop = [&] { return canceled && canceled(); };
    if (!stop()) codes.catalog = Code(drive, mmc::kSubChannelCatalog, 0, 13);
    for (const std::uint8_t number : disc.trackNumbers)
        codes.isrcs.push_back(stop() ? std::string() : Code(drive, mmc::kSubChannelIsrc, number, 12));
    return codes;
}

}  // namespace tesslow
