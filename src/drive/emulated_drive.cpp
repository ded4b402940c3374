#include "drive/emulated_drive.h"

#include "app/raw_toc.h"
#include "drive/cd_text.h"
#include "drive/emulated_cd_text.h"
#include "drive/emulated_subchannel.h"
#include "drive/mmc.h"
#include "drive/scsi_status.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace tesslow {

namespace {

using Bytes = std::vector<std::uint8_t>;

// How far past an end of the disc's audio a drive that overreads can read.
constexpr std::int32_t kOverreadSectors = 11;
// How many samples a flaky read gets wrong.
constexpr int kFlakySamples = 3;

// Copies an answer into the caller's buffer: no more than the CDB's
// allocation length, nor than the buffer holds.
void Reply(const CommandBlock& block, std::uint32_t allocation, const Bytes& answer)
{
    if (block.direction != DataDirection::In || !block.buffer) return;
    const std::size_t n = std::min<std::size_t>({answer.size(), allocation, block.length});
    std::memcpy(block.buffer, answer.data(), n);
}

void WriteSense(std::span<std::uint8_t, kSenseLength> sense, std::int32_t status)
{
    std::fill(sense.begin(), sense.end(), 0);
    sense[0] = 0x70;  // current error, fixed format
    sense[2] = static_cast<std::uint8_t>((status >> 16) & 0x0F);
    sense[7] = kSenseLength - 8;
    sense[12] = static_cast<std::uint8_t>(status >> 8);
    sense[13] = static_cast<std::uint8_t>(status);
}

std::string Signature(const std::filesystem::path& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return "missing";
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
           std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ":" +
           std::to_string(info.st_ctim.tv_sec) + "." + std::to_string(info.st_ctim.tv_nsec);
}

void WriteMsf(std::uint8_t* p, int m, int s, int f)
{
    p[0] = 0;
    p[1] = static_cast<std::uint8_t>(m);
    p[2] = static_cast<std::uint8_t>(s);
    p[3] = static_cast<std::uint8_t>(f);
}

}  // namespace

EmulatedDrive::EmulatedDrive(std::filesystem::path cuePath) : cuePath_(std::move(cuePath)) {}

bool EmulatedDrive::Send(const CommandBlock& block, std::span<std::uint8_t, kSenseLength> sense)
{
    std::fill(sense.begin(), sense.end(), 0);
    std::lock_guard lock(mutex_);
    if (!open_) {
        errno = EBADF;
        return false;
    }
    Refresh();
    ++counters_.commands;
    if (conditions_.delayMilliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(conditions_.delayMilliseconds));
    const std::int32_t status = block.cdbLength == 0 ? kSenseInvalidOpcode : Answer(block);
    if (status != kScsiOk) WriteSense(sense, status);
    return true;
}

void EmulatedDrive::Close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    image_.reset();
}

bool EmulatedDrive::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

EmulatedDrive::Counters EmulatedDrive::Statistics() const
{
    std::lock_guard lock(mutex_);
    return counters_;
}

std::uint32_t EmulatedDrive::ReadSpeed() const
{
    std::lock_guard lock(mutex_);
    return ReadSpeedLocked();
}

std::uint32_t EmulatedDrive::ReadSpeedLocked() const
{
    const std::uint32_t limit = conditions_.speedLimit;
    if (limit == 0) return setSpeed_;
    return setSpeed_ == 0 ? limit : std::min(limit, setSpeed_);
}

std::string EmulatedDrive::ImageProblem() const
{
    std::lock_guard lock(mutex_);
    return problem_;
}

bool EmulatedDrive::TrayOpen() const
{
    std::lock_guard lock(mutex_);
    return trayOpen_;
}

void EmulatedDrive::Refresh()
{
    const std::string signature = Signature(cuePath_);
    if (signature == signature_) return;
    // Another disc: the tray is closed over it and its conditions apply.
    signature_ = signature;
    image_.reset();
    problem_.clear();
    conditions_ = DriveConditions{};
    if (signature != "missing") {
        try {
            image_ = DiscImage::Load(cuePath_);
            conditions_ = image_->Conditions();
        } catch (const DiscImageError& error) {
            problem_ = error.what();
        }
    }
    trayOpen_ = false;
    busyAnswersLeft_ = conditions_.ejectBusyTries;
    random_.seed(conditions_.seed);
    flakyRandom_.seed(conditions_.seed);
    qRandom_.seed(conditions_.seed);
    flakyReads_.assign(conditions_.flaky.size(), 0);
}

std::int32_t EmulatedDrive::NotReadyStatus() const
{
    if (trayOpen_ || conditions_.trayOpen) return kSenseTrayOpen;
    if (!problem_.empty()) return kSenseUnknownFormat;
    if (!image_ || conditions_.noDisc) return kSenseNoMedium;
    return kScsiOk;
}

std::int32_t EmulatedDrive::Answer(const CommandBlock& block)
{
    switch (block.cdb[0]) {
    case mmc::kInquiry:
        return Inquiry(block);
    case mmc::kGetConfiguration:
        return GetConfiguration(block);
    case mmc::kReadDiscInformation:
        return ReadDiscInformation(block);
    case mmc::kReadToc:
        return ReadToc(block);
    case mmc::kReadCd:
        return ReadCd(block);
    case mmc::kReadSubChannel:
        return ReadSubChannel(block);
    case mmc::kSetCdSpeed:
        return SetCdSpeed(block);
    case mmc::kStartStopUnit:
        return StartStopUnit(block);
    case mmc::kPreventAllowMediumRemoval:
        removalPrevented_ = (block.cdb[4] & 0x03) != 0;
        return kScsiOk;
    default:
        return kSenseInvalidOpcode;
    }
}

std::int32_t EmulatedDrive::Inquiry(const CommandBlock& block)
{
    const std::uint8_t* cdb = block.cdb.data();
    if (cdb[1] & 0x01) return kSenseInvalidField;  // vital product data pages are not offered
    Bytes answer(36, 0);
    answer[0] = mmc::kDeviceTypeOptical;
    answer[1] = 0x80;  // removable medium
    answer[2] = 0x05;  // SPC-3
    answer[3] = 0x02;  // response data format
    answer[4] = 36 - 5;
    // Blank-padded, as drives answer.
    const std::string vendor = (conditions_.vendor + std::string(8, ' ')).substr(0, 8);
    const std::string product = (conditions_.product + std::string(16, ' ')).substr(0, 16);
    std::memcpy(&answer[8], vendor.data(), 8);
    std::memcpy(&answer[16], product.data(), 16);
    std::memcpy(&answer[32], "1.0 ", 4);
    Reply(block, ReadBigEndian16(cdb + 3), answer);
    return kScsiOk;
}

std::int32_t EmulatedDrive::GetConfiguration(const CommandBlock& block)
{
    if (conditions_.noGetConfiguration) return kSenseInvalidOpcode;
    const std::uint8_t* cdb = block.cdb.data();
    const int requestType = cdb[1] & 0x03;
    if (requestType == 3) return kSenseInvalidField;
    const std::uint16_t current = NotReadyStatus() == kScsiOk ? conditions_.profile : mmc::kProfileNone;
    Bytes answer(8, 0);
    WriteBigEndian16(&answer[6], current);
    // Feature 0000h, the profile list, when the request starts at it.
    if (ReadBigEndian16(cdb + 2) == 0) {
        std::vector<std::uint16_t> profiles = {mmc::kProfileDvdRom, mmc::kProfileCdRom, mmc::kProfileCdR,
                                               mmc::kProfileCdRw};
        if (std::find(profiles.begin(), profiles.end(), conditions_.profile) == profiles.end())
            profiles.push_back(conditions_.profile);
        answer.insert(answer.end(), {0x00, 0x00, 0x03, static_cast<std::uint8_t>(4 * profiles.size())});
        for (std::uint16_t profile : profiles)
            answer.insert(answer.end(), {static_cast<std::uint8_t>(profile >> 8), static_cast<std::uint8_t>(profile),
                                         static_cast<std::uint8_t>(profile == current ? 0x01 : 0x00), 0x00});
    }
    WriteBigEndian32(&answer[0], static_cast<std::uint32_t>(answer.size() - 4));
    Reply(block, ReadBigEndian16(cdb + 7), answer);
    return kScsiOk;
}

std::int32_t EmulatedDrive::ReadDiscInformation(const CommandBlock& block)
{
    const std::uint8_t* cdb = block.cdb.data();
    if (cdb[1] & 0x07) return kSenseInvalidField;  // only the standard disc information
    if (const std::int32_t status = NotReadyStatus()) return status;
    const auto& tracks = image_->Tracks();
    const int sessions = image_->LastSession();
    Bytes answer(34, 0);
    WriteBigEndian16(&answer[0], 32);
    const int discStatus = conditions_.blank ? 0 : conditions_.incomplete ? 1 : 2;
    const int lastSessionState = conditions_.blank ? 0 : conditions_.incomplete ? 1 : 3;
    answer[2] = static_cast<std::uint8_t>((conditions_.erasable ? 0x10 : 0) | lastSessionState << 2 | discStatus);
    answer[3] = conditions_.blank ? 1 : static_cast<std::uint8_t>(tracks.front().number);
    answer[4] = static_cast<std::uint8_t>(conditions_.blank ? 1 : sessions);
    int firstInLast = tracks.front().number, lastInLast = tracks.back().number;
    for (const ImageTrack& track : tracks)
        if (track.session == sessions) {
            firstInLast = track.number;
            break;
        }
    answer[5] = static_cast<std::uint8_t>(conditions_.blank ? 1 : firstInLast);
    answer[6] = static_cast<std::uint8_t>(conditions_.blank ? 1 : lastInLast);
    answer[7] = 0x20;  // unrestricted use
    answer[8] = image_->HasMode2Tracks() ? 0x20 : 0x00;
    if (conditions_.recordable) {
        // Where the next session's lead-in would start, and the last possible
        // lead-out of an 80-minute blank.
        const std::int32_t next = image_->LeadOut() + 6750 + 150;
        WriteMsf(&answer[16], next / 4500, next / 75 % 60, next % 75);
        WriteMsf(&answer[20], 79, 59, 74);
    } else {
        std::fill(answer.begin() + 16, answer.begin() + 24, 0xFF);
    }
    Reply(block, ReadBigEndian16(cdb + 7), answer);
    return kScsiOk;
}

std::int32_t EmulatedDrive::ReadToc(const CommandBlock& block)
{
    const std::uint8_t* cdb = block.cdb.data();
    if (cdb[1] & 0x02) return kSenseInvalidField;  // MSF addresses are not offered
    if (const std::int32_t status = NotReadyStatus()) return status;
    if (conditions_.blank) return kSenseInvalidField;
    const auto& tracks = image_->Tracks();
    const int format = cdb[2] & 0x0F;
    const int startingTrack = cdb[6];
    Bytes answer(4, 0);
    auto descriptor = [&](std::uint8_t control, int number, std::int32_t lba) {
        const std::uint8_t adrControl = static_cast<std::uint8_t>(0x10 | control);
        answer.insert(answer.end(), {0, adrControl, static_cast<std::uint8_t>(number), 0, 0, 0, 0, 0});
        WriteBigEndian32(&answer[answer.size() - 4], static_cast<std::uint32_t>(lba));
    };
    if (format == mmc::kTocFormatTracks) {
        if (startingTrack > tracks.back().number && startingTrack != kLeadOutTrack) return kSenseInvalidField;
        for (const ImageTrack& track : tracks)
            if (track.number >= startingTrack) descriptor(track.control, track.number, track.start);
        descriptor(tracks.back().control & kControlDataTrack, kLeadOutTrack, image_->LeadOut());
        answer[2] = static_cast<std::uint8_t>(tracks.front().number);
        answer[3] = static_cast<std::uint8_t>(tracks.back().number);
    } else if (format == mmc::kTocFormatSessions) {
        const int last = image_->LastSession();
        const auto first = std::find_if(tracks.begin(), tracks.end(),
                                        [&](const ImageTrack& track) { return track.session == last; });
        descriptor(first->control, first->number, first->start);
        answer[2] = 1;
        answer[3] = static_cast<std::uint8_t>(last);
    } else if (format == mmc::kTocFormatCdText) {
        const std::string& file = image_->CdTextFileBytes();
        Bytes packs = file.empty() ? EmulatedCdTextPacks(*image_) : Bytes(file.begin(), file.end());
        // A disc without CD-Text: refused, as most drives do.
        if (packs.empty()) return kSenseInvalidField;
        if (const std::uint32_t every = conditions_.cdTextBadCrcEvery)
            for (std::size_t pack = every - 1; (pack + 1) * kCdTextPackBytes <= packs.size(); pack += every)
                packs[pack * kCdTextPackBytes + 17] ^= 0x5A;
        answer.insert(answer.end(), packs.begin(), packs.end());
    } else {
        return kSenseInvalidField;
    }
    WriteBigEndian16(&answer[0], static_cast<std::uint32_t>(answer.size() - 2));
    Reply(block, ReadBigEndian16(cdb + 7), answer);
    return kScsiOk;
}

std::int32_t EmulatedDrive::ReadCd(const CommandBlock& block)
{
    const std::uint8_t* cdb = block.cdb.data();
    const auto lba = static_cast<std::int32_t>(ReadBigEndian32(cdb + 2));
    const std::int64_t count = (std::int64_t(cdb[6]) << 16) | (cdb[7] << 8) | cdb[8];
    // Sector type 0; no sub-channel, or the formatted Q unless the drive cannot.
    const bool withQ = cdb[10] == mmc::kReadCdFormattedQ;
    if ((cdb[1] & 0x1C) != 0 || (cdb[10] != 0 && !withQ) || (withQ && conditions_.noSubchannel))
        return kSenseInvalidField;
    if (count > 0 && cdb[9] != mmc::kReadCdFullSector) return kSenseInvalidField;
    if (const std::int32_t status = NotReadyStatus()) return status;
    ++counters_.readCdCommands;
    if (count == 0) return kScsiOk;
    // A drive that overreads reads a little way past the ends of the audio.
    if (conditions_.overread ? !image_->Overreadable(lba, count, kOverreadSectors) : !image_->Readable(lba, count))
        return kSenseLbaOutOfRange;
    for (const auto& [first, last] : conditions_.unreadable)
        if (lba <= last && lba + count > first) return kSenseUnrecoveredRead;

    // A drive reading at a limited speed: the sectors arrive no faster than it
    // spins, averaged over consecutive reads.
    if (const std::uint32_t speed = ReadSpeedLocked()) {
        const auto now = std::chrono::steady_clock::now();
        readyAt_ = std::max(readyAt_, now) +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(
                       static_cast<double>(count) / speed));
        std::this_thread::sleep_until(readyAt_);
    }

    // The drive's own offset: sector s holds the disc's samples from s x 588 - n.
    std::int64_t offset = std::int64_t(lba) * kSectorBytes - std::int64_t(conditions_.readOffset) * 4;
    if (conditions_.jitterSamples > 0 && lba % conditions_.jitterBoundary != 0) {
        // Not on a cache boundary: the drive lands a little early or late.
        const std::int64_t shift = std::int64_t(conditions_.jitterSamples) * 4;
        offset += (random_() & 1) ? shift : -shift;
        ++counters_.jitteredReads;
    }
    counters_.sectorsRead += static_cast<std::uint64_t>(count);
    if (block.direction != DataDirection::In || !block.buffer) return kScsiOk;
    auto* out = static_cast<std::uint8_t*>(block.buffer);
    if (!withQ) {
        const std::size_t size = std::min<std::size_t>(count * kSectorBytes, block.length);
        // Sectors beyond the end of a file that has shrunk are lost, like a
        // scratch: MEDIUM ERROR, unrecovered read error.
        if (!image_->ReadBytes(offset, size, out)) return kSenseUnrecoveredRead;
        AlterFlakySamples(lba, out, size / kSectorBytes);
        return kScsiOk;
    }
    // Each sector followed by its Q.
    std::vector<std::uint8_t> audio(static_cast<std::size_t>(count) * kSectorBytes);
    if (!image_->ReadBytes(offset, audio.size(), audio.data())) return kSenseUnrecoveredRead;
    AlterFlakySamples(lba, audio.data(), static_cast<std::size_t>(count));
    const std::size_t stride = kSectorBytes + kQFrameBytes;
    for (std::int64_t i = 0; i < count && std::size_t(i + 1) * stride <= block.length; ++i) {
        std::memcpy(out + i * stride, audio.data() + i * kSectorBytes, kSectorBytes);
        const QFrame q = DeliveredQ(lba + static_cast<std::int32_t>(i));
        std::memcpy(out + i * stride + kSectorBytes, q.data(), q.size());
    }
    return kScsiOk;
}

QFrame EmulatedDrive::DeliveredQ(std::int32_t lba)
{
    // The drive's faults: the Q of a sector some way off, binary positions,
    // and now and then a frame whose CRC does not hold.
    const std::int32_t from = lba + conditions_.qShift;
    QFrame q = SubchannelQ(*image_, from);
    if (conditions_.qBinary) {
        if (const std::optional<QPosition> position = DecodeQPosition(q)) q = EncodeQPosition(*position, true);
    }
    if (conditions_.qBadCrcPercent > 0 && int(qRandom_() % 100) < conditions_.qBadCrcPercent) q[11] ^= 0x5A;
    return q;
}

std::int32_t EmulatedDrive::ReadSubChannel(const CommandBlock& block)
{
    const std::uint8_t* cdb = block.cdb.data();
    if (const std::int32_t status = NotReadyStatus()) return status;
    const std::uint8_t format = cdb[3];
    if ((cdb[2] & 0x40) == 0 || format < mmc::kSubChannelPosition || format > mmc::kSubChannelIsrc)
        return kSenseInvalidField;
    Bytes answer(mmc::kSubChannelAnswerLength, 0);
    answer[1] = 0x15;  // no audio status to report
    answer[3] = format == mmc::kSubChannelPosition ? 12 : 20;
    answer[4] = format;
    if (format == mmc::kSubChannelCatalog && !image_->Catalog().empty()) {
        answer[8] = 0x80;  // MCVal
        std::memcpy(&answer[9], image_->Catalog().data(), 13);
    } else if (format == mmc::kSubChannelIsrc) {
        const auto& tracks = image_->Tracks();
        const auto track = std::find_if(tracks.begin(), tracks.end(), [&](const ImageTrack& t) { return t.number == cdb[6]; });
        if (track == tracks.end()) return kSenseInvalidField;
        answer[5] = static_cast<std::uint8_t>((track->control << 4) | 3);
        answer[6] = cdb[6];
        if (!track->isrc.empty()) {
            answer[8] = 0x80;  // TCVal
            std::memcpy(&answer[9], track->isrc.data(), 12);
        }
    } else if (format == mmc::kSubChannelPosition) {
        answer[5] = 0x01;
        answer[6] = image_->Tracks().empty() ? 0 : static_cast<std::uint8_t>(image_->Tracks().front().number);
        answer[7] = 1;
    }
    Reply(block, ReadBigEndian16(cdb + 7), answer);
    return kScsiOk;
}

void EmulatedDrive::AlterFlakySamples(std::int32_t lba, std::uint8_t* buffer, std::size_t sectors)
{
    for (std::size_t i = 0; i < conditions_.flaky.size(); ++i) {
        const auto& range = conditions_.flaky[i];
        const std::int64_t first = std::max<std::int64_t>(range.first, lba);
        const std::int64_t end = std::min<std::int64_t>(std::int64_t(range.last) + 1, std::int64_t(lba) + std::int64_t(sectors));
        if (first >= end || (range.reads != 0 && flakyReads_[i] >= range.reads)) continue;
        ++flakyReads_[i];
        // A few samples of the range, each with bits of one channel flipped.
        const auto samples = static_cast<std::uint64_t>(end - first) * kSectorFrames;
        for (int n = 0; n < kFlakySamples; ++n) {
            const std::uint64_t sample = std::uint64_t(first - lba) * kSectorFrames + flakyRandom_() % samples;
            const auto flip = static_cast<std::uint16_t>(1 + flakyRandom_() % 0xFFFF);
            std::uint8_t* at = buffer + sample * 4 + (flakyRandom_() & 1) * 2;
            at[0] ^= static_cast<std::uint8_t>(flip);
            at[1] ^= static_cast<std::uint8_t>(flip >> 8);
        }
    }
}

std::int32_t EmulatedDrive::SetCdSpeed(const CommandBlock& block)
{
    const std::uint32_t kBps = ReadBigEndian16(block.cdb.data() + 2);
    // kB/s of 1000 bytes; 176 kB/s is single speed, 75 sectors per second.
    setSpeed_ = kBps == 0 || kBps == 0xFFFF ? 0 : std::max<std::uint32_t>(1, (kBps * 1000 + kSectorBytes / 2) / kSectorBytes);
    return kScsiOk;
}

std::int32_t EmulatedDrive::StartStopUnit(const CommandBlock& block)
{
    if (busyAnswersLeft_ > 0) {
        --busyAnswersLeft_;
        return kSenseBecomingReady;
    }
    const bool loadEject = block.cdb[4] & 0x02, start = block.cdb[4] & 0x01;
    if (loadEject && !start) {
        if (removalPrevented_) return 0x055302;  // ILLEGAL REQUEST, medium removal prevented
        trayOpen_ = true;
    } else if (loadEject && start) {
        trayOpen_ = false;
    }
    return kScsiOk;
}

}  // namespace tesslow
