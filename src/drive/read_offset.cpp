#include "drive/read_offset.h"

#include "app/cd_audio.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tesslow {

namespace {

// floor(a / b) for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Raw sectors [first, first + count) into `out`, in commands of at most 255.
std::int32_t ReadRaw(ScsiCommand& drive, std::int32_t first, std::int32_t count, std::uint8_t* out)
{
    for (std::int32_t done = 0; done < count;) {
        const std::int32_t part = std::min(count - done, 255);
        const std::int32_t status =
            drive.ReadCd(first + done, static_cast<std::uint8_t>(part), out + std::size_t(done) * kSectorBytes);
        if (status != kScsiOk) return status;
        done += part;
    }
    return kScsiOk;
}

}  // namespace

std::int32_t ReadCorrected(ScsiCommand& drive, const ReadOffset& offset, std::int32_t audioEnd, std::int32_t lba,
                           std::int32_t sectors, std::uint8_t* buffer, OutsideSilence* silence)
{
    if (sectors <= 0) return kScsiOk;
    const std::int64_t firstSample = std::int64_t(lba) * kSectorFrames + offset.samples;
    const std::int64_t endSample = firstSample + std::int64_t(sectors) * kSectorFrames;
    const bool inside = firstSample >= 0 && endSample <= std::int64_t(audioEnd) * kSectorFrames;
    if (offset.samples == 0 && inside) return ReadRaw(drive, lba, sectors, buffer);

    // The drive's sectors that hold the samples asked for.
    const auto rawFirst = static_cast<std::int32_t>(FloorDiv(firstSample, kSectorFrames));
    const auto rawEnd = static_cast<std::int32_t>(FloorDiv(endSample + kSectorFrames - 1, kSectorFrames));
    // The raw sectors go through a buffer of the thread's own, kept between
    // reads: a rip reads every sector this way, often more than once.
    thread_local std::vector<std::uint8_t> raw;
    raw.resize(std::max(raw.size(), std::size_t(rawEnd - rawFirst) * kSectorBytes));
    auto at = [&](std::int32_t sector) { return raw.data() + std::size_t(sector - rawFirst) * kSectorBytes; };

    // Inside the disc's audio they must be read; outside it only with
    // overread, and a refusal there is silence.
    const std::int32_t insideFirst = std::max(rawFirst, 0);
    const std::int32_t insideEnd = std::min(rawEnd, audioEnd);
    if (insideFirst < insideEnd) {
        const std::int32_t status = ReadRaw(drive, insideFirst, insideEnd - insideFirst, at(insideFirst));
        if (status != kScsiOk) return status;
    }
    // Answers whether the sectors outside the audio are silence of ours.
    auto outside = [&](std::int32_t from, std::int32_t to) {
        if (from >= to) return false;
        if (offset.overread && ReadRaw(drive, from, to - from, at(from)) == kScsiOk) return false;
        std::memset(at(from), 0, std::size_t(to - from) * kSectorBytes);
        return true;
    };
    const bool before = outside(rawFirst, std::min(0, rawEnd));
    const bool after = outside(std::max(audioEnd, rawFirst), rawEnd);
    if (silence) {
        silence->before = silence->before || before;
        silence->after = silence->after || after;
    }
    std::memcpy(buffer, raw.data() + std::size_t(firstSample - std::int64_t(rawFirst) * kSectorFrames) * 4,
                std::size_t(sectors) * kSectorBytes);
    return kScsiOk;
}

OutsideSamples SamplesOutside(std::int32_t samples, std::int32_t audioEnd, std::int32_t first, std::int32_t count)
{
    const std::int64_t from = std::int64_t(first) * kSectorFrames + samples;
    const std::int64_t to = from + std::int64_t(std::max(count, 0)) * kSectorFrames;
    const std::int64_t end = std::int64_t(audioEnd) * kSectorFrames;
    OutsideSamples outside;
    outside.before = std::clamp<std::int64_t>(-from, 0, to - from);
    outside.after = std::clamp<std::int64_t>(to - end, 0, to - from);
    return outside;
}

}  // namespace tesslow
