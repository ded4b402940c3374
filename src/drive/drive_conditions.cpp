#include "drive/drive_conditions.h"

#include "drive/cue_words.h"
#include "drive/mmc.h"
#include "drive/read_offset.h"

#include <algorithm>
#include <stdexcept>

namespace tesslow {

namespace {

std::int64_t Number(const std::string& word, int base = 10)
{
    const auto value = ParseInteger(word, base);
    if (!value) throw std::invalid_argument("not a number: " + word);
    return *value;
}

// A sector address: a plain LBA, or mm:ss:ff.
std::int32_t Address(const std::string& word)
{
    if (word.find(':') == std::string::npos) {
        const std::int64_t lba = Number(word);
        if (lba < 0 || lba > 0x7FFFFFFF) throw std::invalid_argument("not a sector address: " + word);
        return static_cast<std::int32_t>(lba);
    }
    const auto address = ParseMsf(word);
    if (!address) throw std::invalid_argument("not a sector address: " + word);
    return *address;
}

std::uint16_t Profile(const std::string& word)
{
    const std::string name = UpperCase(word);
    if (name == "DVD" || name == "DVD-ROM") return mmc::kProfileDvdRom;
    if (name == "CD" || name == "CD-ROM") return mmc::kProfileCdRom;
    if (name == "CD-R") return mmc::kProfileCdR;
    if (name == "CD-RW") return mmc::kProfileCdRw;
    std::string hex = name;
    if (hex.size() > 1 && hex.back() == 'H') hex.pop_back();
    if (hex.rfind("0X", 0) == 0) hex = hex.substr(2);
    const std::int64_t value = Number(hex, 16);
    if (value < 0 || value > 0xFFFF) throw std::invalid_argument("not a profile: " + word);
    return static_cast<std::uint16_t>(value);
}

}  // namespace

void ApplyCondition(DriveConditions& conditions, const std::vector<std::string>& words)
{
    if (words.empty()) throw std::invalid_argument("REM TESSLOW without a condition");
    const std::string name = UpperCase(words[0]);
    const std::size_t arguments = words.size() - 1;
    auto expect = [&](std::size_t least, std::size_t most) {
        if (arguments < least || arguments > most)
            throw std::invalid_argument("wrong number of arguments for " + name);
    };
    auto positive = [&](std::size_t index) {
        const std::int64_t value = Number(words[index]);
        if (value < 0 || value > 0x7FFFFFFF) throw std::invalid_argument("out of range: " + words[index]);
        return value;
    };

    if (name == "NO-DISC") {
        expect(0, 0);
        conditions.noDisc = true;
    } else if (name == "TRAY-OPEN") {
        expect(0, 0);
        conditions.trayOpen = true;
    } else if (name == "PROFILE") {
        expect(1, 1);
        conditions.profile = Profile(words[1]);
        if (conditions.profile == mmc::kProfileCdR) conditions.recordable = true;
        if (conditions.profile == mmc::kProfileCdRw) conditions.erasable = conditions.recordable = true;
    } else if (name == "DVD") {
        expect(0, 0);
        conditions.profile = mmc::kProfileDvdRom;
    } else if (name == "CD-R") {
        expect(0, 0);
        conditions.profile = mmc::kProfileCdR;
        conditions.recordable = true;
    } else if (name == "ERASABLE" || name == "CD-RW") {
        expect(0, 0);
        conditions.profile = mmc::kProfileCdRw;
        conditions.erasable = conditions.recordable = true;
    } else if (name == "BLANK") {
        expect(0, 0);
        conditions.blank = conditions.recordable = true;
        if (conditions.profile == mmc::kProfileCdRom) conditions.profile = mmc::kProfileCdR;
    } else if (name == "INCOMPLETE") {
        expect(0, 0);
        conditions.incomplete = conditions.recordable = true;
        if (conditions.profile == mmc::kProfileCdRom) conditions.profile = mmc::kProfileCdR;
    } else if (name == "NO-GET-CONFIGURATION") {
        expect(0, 0);
        conditions.noGetConfiguration = true;
    } else if (name == "EJECT-BUSY") {
        expect(1, 1);
        conditions.ejectBusyTries = static_cast<int>(positive(1));
    } else if (name == "UNREADABLE") {
        expect(1, 2);
        const std::int32_t first = Address(words[1]);
        const std::int32_t last = arguments == 2 ? Address(words[2]) : first;
        if (last < first) throw std::invalid_argument("UNREADABLE range ends before it starts");
        conditions.unreadable.emplace_back(first, last);
    } else if (name == "JITTER") {
        expect(1, 2);
        conditions.jitterSamples = static_cast<int>(positive(1));
        if (conditions.jitterSamples > static_cast<int>(kSectorFrames))
            throw std::invalid_argument("JITTER is limited to one sector (588 samples)");
        if (arguments == 2) conditions.jitterBoundary = static_cast<int>(positive(2));
        if (conditions.jitterBoundary < 1) throw std::invalid_argument("JITTER boundary must be at least 1");
    } else if (name == "SPEED") {
        expect(1, 1);
        conditions.speedLimit = static_cast<std::uint32_t>(positive(1));
    } else if (name == "DELAY") {
        expect(1, 1);
        conditions.delayMilliseconds = static_cast<std::uint32_t>(std::min<std::int64_t>(positive(1), 60000));
    } else if (name == "SEED") {
        expect(1, 1);
        conditions.seed = static_cast<std::uint64_t>(positive(1));
    } else if (name == "FLAKY") {
        expect(2, 3);
        const std::int32_t first = Address(words[1]), last = Address(words[2]);
        if (last < first) throw std::invalid_argument("FLAKY range ends before it starts");
        conditions.flaky.push_back({first, last, arguments == 3 ? static_cast<std::uint32_t>(positive(3)) : 0});
    } else if (name == "NO-SUBCHANNEL") {
        expect(0, 0);
        conditions.noSubchannel = true;
    } else if (name == "QCRC") {
        expect(1, 1);
        conditions.qBadCrcPercent = static_cast<int>(std::min<std::int64_t>(positive(1), 100));
    } else if (name == "QBINARY") {
        expect(0, 0);
        conditions.qBinary = true;
    } else if (name == "QSHIFT") {
        expect(1, 1);
        const std::int64_t shift = Number(words[1]);
        if (shift < -75 || shift > 75) throw std::invalid_argument("QSHIFT is limited to 75 sectors either way");
        conditions.qShift = static_cast<std::int32_t>(shift);
    } else if (name == "OFFSET") {
        expect(1, 1);
        const std::int64_t samples = Number(words[1].rfind('+', 0) == 0 ? words[1].substr(1) : words[1]);
        if (samples < -kLargestReadOffset || samples > kLargestReadOffset)
            throw std::invalid_argument("OFFSET is limited to " + std::to_string(kLargestReadOffset) + " samples either way");
        conditions.readOffset = static_cast<std::int32_t>(samples);
    } else if (name == "OVERREAD") {
        expect(0, 0);
        conditions.overread = true;
    } else if (name == "INQUIRY") {
        expect(2, 2);
        if (words[1].size() > 8 || words[2].size() > 16)
            throw std::invalid_argument("INQUIRY vendor and product are at most 8 and 16 characters");
        conditions.vendor = words[1];
        conditions.product = words[2];
    } else if (name == "CDTEXT-BADCRC") {
        expect(1, 1);
        conditions.cdTextBadCrcEvery = static_cast<std::uint32_t>(positive(1));
        if (conditions.cdTextBadCrcEvery == 0) throw std::invalid_argument("CDTEXT-BADCRC needs a count of at least 1");
    } else if (name == "CDTEXT-FILE") {
        expect(1, 1);
        if (words[1].empty()) throw std::invalid_argument("CDTEXT-FILE needs a file name");
        conditions.cdTextFile = words[1];
    } else {
        throw std::invalid_argument("unknown condition " + words[0]);
    }
}

}  // namespace tesslow
