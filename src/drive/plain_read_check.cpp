#include "drive/plain_read_check.h"

#include "app/cd_audio.h"

#include <algorithm>
#include <cstring>

namespace tesslow {

namespace {

// A drive lands at most a sector early or late.
constexpr std::int64_t kMaxShiftFrames = kSectorFrames;
// How much verified audio a read must agree with before its shift is trusted.
constexpr std::int64_t kMinAlignFrames = kSectorFrames;

std::uint32_t FrameAt(const std::uint8_t* bytes, std::int64_t index)
{
    std::uint32_t frame;
    std::memcpy(&frame, bytes + index * 4, 4);
    return frame;
}

// One plain read, seen from the delivered audio: frame f of the anchor and
// sectors (counted from the anchor's first) lies at read frame f + lead -
// shift when the drive read `shift` frames late.
struct Read {
    const std::uint8_t* frames;
    std::int64_t size;  // frames
    std::int64_t lead;  // frames read before the anchor's first

    bool Agrees(const std::uint8_t* delivered, std::int64_t shift, std::int64_t from, std::int64_t to) const
    {
        for (std::int64_t f = from; f < to; ++f) {
            const std::int64_t r = f + lead - shift;
            if (r < 0 || r >= size || FrameAt(frames, r) != FrameAt(delivered, f - from)) return false;
        }
        return true;
    }
};

}  // namespace

PlainReadVerdict CheckWithPlainReads(const PlainReadCheck& check, const PlainRead& read)
{
    const auto sectorCount = static_cast<std::int64_t>(check.sectors.size() / kSectorBytes);
    const auto anchorSectors = static_cast<std::int64_t>(check.anchor.size() / kSectorBytes);
    const std::int64_t anchorFrames = anchorSectors * kSectorFrames;
    const std::int64_t anchorLba = check.lba - anchorSectors;
    PlainReadVerdict verdict;
    verdict.confirmed.assign(static_cast<std::size_t>(sectorCount), false);
    std::int64_t left = sectorCount;

    // Where the reads start: at the anchor, then a sector earlier each time
    // down to firstReadable, then a sector or two into the anchor (still
    // covering two of its sectors); round again while attempts remain.
    std::vector<std::int64_t> starts;
    for (std::int64_t s = anchorLba; s >= std::max<std::int64_t>(check.firstReadable, anchorLba - check.attempts + 1); --s)
        starts.push_back(s);
    for (std::int64_t s = anchorLba + 1; s <= anchorLba + anchorSectors - 2; ++s) starts.push_back(s);
    if (starts.empty()) starts.push_back(std::max<std::int64_t>(check.firstReadable, anchorLba));
    std::vector<std::int64_t> alignedStarts;

    std::vector<std::uint8_t> buffer;
    for (int attempt = 0; attempt < check.attempts && (left > 0 || verdict.alignedReads < check.alignedReadsWanted);
         ++attempt) {
        const std::int64_t start = starts[static_cast<std::size_t>(attempt) % starts.size()];
        const std::int64_t count = std::max<std::int64_t>(check.readEnd, check.lba + sectorCount) - start;
        buffer.assign(static_cast<std::size_t>(count) * kSectorBytes, 0);
        if (!read(static_cast<std::int32_t>(start), static_cast<std::int32_t>(count), buffer.data())) continue;
        const Read plain{buffer.data(), count * kSectorFrames, (anchorLba - start) * kSectorFrames};

        // The shifts at which the read agrees with all of the anchor it covers.
        std::vector<std::int64_t> shifts;
        if (anchorFrames >= kMinAlignFrames) {
            for (std::int64_t shift = -kMaxShiftFrames; shift <= kMaxShiftFrames; ++shift) {
                const std::int64_t from = std::max<std::int64_t>(0, shift - plain.lead);
                if (anchorFrames - from >= kMinAlignFrames &&
                    plain.Agrees(check.anchor.data() + from * 4, shift, from, anchorFrames))
                    shifts.push_back(shift);
            }
            if (shifts.size() == 1 && std::find(alignedStarts.begin(), alignedStarts.end(), start) == alignedStarts.end()) {
                alignedStarts.push_back(start);
                ++verdict.alignedReads;
            }
            if (shifts.size() > 1) shifts = {0};  // silence, or a repeating pattern: no shift can be told
        } else {
            shifts = {0};
        }
        for (const std::int64_t shift : shifts) {
            if (shift != 0) verdict.landedOff = true;
            for (std::int64_t s = 0; s < sectorCount; ++s) {
                if (verdict.confirmed[static_cast<std::size_t>(s)]) continue;
                const std::int64_t from = anchorFrames + s * kSectorFrames;
                if (plain.Agrees(check.sectors.data() + s * kSectorBytes, shift, from, from + kSectorFrames)) {
                    verdict.confirmed[static_cast<std::size_t>(s)] = true;
                    --left;
                }
            }
        }
    }
    return verdict;
}

}  // namespace tesslow
