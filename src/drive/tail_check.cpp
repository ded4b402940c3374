#include "drive/tail_check.h"

#include "app/cd_audio.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

// One plain read of the window, seen from the window: window frame w lies at
// read frame w + lead - shift when the drive read `shift` frames late.
struct WindowRead {
    const std::uint8_t* frames;
    std::int64_t size;  // frames
    std::int64_t lead;  // frames read before the window's first

    // How many window frames from `from` on (up to `to`) the read agrees with
    // at `shift`, stopping at the first difference or the end of the read.
    std::int64_t Agreeing(std::span<const std::uint8_t> window, std::int64_t shift, std::int64_t from,
                          std::int64_t to) const
    {
        std::int64_t w = from;
        for (; w < to; ++w) {
            const std::int64_t r = w + lead - shift;
            if (r < 0 || r >= size || FrameAt(frames, r) != FrameAt(window.data(), w)) break;
        }
        return w - from;
    }
};

}  // namespace

std::int32_t UnconfirmedTailSectors(std::span<const std::uint8_t> window, std::int32_t windowLba,
                                    std::int32_t tailSectors, std::int32_t firstLba, int attempts,
                                    const PlainRead& read)
{
    const std::int64_t windowSectors = static_cast<std::int64_t>(window.size() / kSectorBytes);
    tailSectors = static_cast<std::int32_t>(std::clamp<std::int64_t>(tailSectors, 0, windowSectors));
    const std::int64_t windowFrames = windowSectors * kSectorFrames;
    const std::int64_t tailBegin = (windowSectors - tailSectors) * kSectorFrames;
    const std::int64_t tailFrames = windowFrames - tailBegin;
    const std::int64_t windowEnd = windowLba + windowSectors;

    std::int64_t confirmed = 0;  // tail frames confirmed, from the tail's first
    std::vector<std::uint8_t> buffer;
    for (int attempt = 0; attempt < attempts && confirmed < tailFrames; ++attempt) {
        // Each attempt starts a sector earlier, so that the drive lands anew.
        const std::int64_t start = std::max<std::int64_t>(firstLba, windowLba - attempt);
        const std::int64_t count = windowEnd - start;
        buffer.assign(static_cast<std::size_t>(count) * kSectorBytes, 0);
        if (!read(static_cast<std::int32_t>(start), static_cast<std::int32_t>(count), buffer.data())) continue;
        const WindowRead plain{buffer.data(), count * kSectorFrames, (windowLba - start) * kSectorFrames};

        // The shifts at which the read agrees with all of the verified audio.
        std::vector<std::int64_t> shifts;
        if (tailBegin >= kMinAlignFrames) {
            for (std::int64_t shift = -kMaxShiftFrames; shift <= kMaxShiftFrames; ++shift) {
                const std::int64_t from = std::max<std::int64_t>(0, shift - plain.lead);
                const std::int64_t to = std::min(tailBegin, plain.size - plain.lead + shift);
                if (to - from >= kMinAlignFrames && plain.Agreeing(window, shift, from, to) == to - from)
                    shifts.push_back(shift);
            }
            if (shifts.size() > 1) shifts = {0};  // silence, or a repeating pattern: no shift can be told
        } else {
            shifts = {0};
        }
        for (const std::int64_t shift : shifts)
            confirmed = std::max(confirmed, plain.Agreeing(window, shift, tailBegin, windowFrames));
    }
    const std::int64_t unconfirmed = tailFrames - confirmed;
    return static_cast<std::int32_t>((unconfirmed + kSectorFrames - 1) / kSectorFrames);
}

}  // namespace tesslow
