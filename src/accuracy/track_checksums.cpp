#include "accuracy/track_checksums.h"

#include "app/cd_audio.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace tesslow {

namespace {

// What a drive with a read offset may miss at the disc's two ends.
constexpr std::uint64_t kSkippedSamples = 5 * kSectorFrames;
constexpr std::uint64_t kFrame450First = 450 * kSectorFrames + 1;
constexpr std::uint64_t kFrame450Last = 451 * kSectorFrames;

}  // namespace

TrackChecksums::TrackChecksums(std::int64_t sectors, bool first, bool last)
    : from_(first ? kSkippedSamples : 1),
      to_(0),
      crc_(::crc32(0L, Z_NULL, 0))
{
    const std::uint64_t samples = static_cast<std::uint64_t>(std::max<std::int64_t>(sectors, 0)) * kSectorFrames;
    to_ = last ? (samples > kSkippedSamples ? samples - kSkippedSamples : 0) : samples;
}

// Samples at positions position_ + 1 .. position_ + count: the products of
// those inside [from_, to_] go into the sums, in one loop without branches.
void TrackChecksums::AddSamples(const unsigned char* in, std::size_t count)
{
    const std::uint64_t first = position_ + 1;
    const std::uint64_t last = position_ + count;
    const std::uint64_t begin = std::max(first, from_);
    const std::uint64_t end = std::min(last, to_);
    std::uint32_t low = low_, high = high_;
    for (std::uint64_t position = begin; position <= end; ++position) {
        std::uint32_t sample;
        std::memcpy(&sample, in + (position - first) * 4, 4);
        const std::uint64_t product = std::uint64_t{sample} * position;
        low += static_cast<std::uint32_t>(product);
        high += static_cast<std::uint32_t>(product >> 32);
    }
    low_ = low;
    high_ = high;
    for (std::uint64_t position = std::max(first, kFrame450First); position <= std::min(last, kFrame450Last); ++position) {
        std::uint32_t sample;
        std::memcpy(&sample, in + (position - first) * 4, 4);
        frame450_ += sample * static_cast<std::uint32_t>(position - kFrame450First + 1);
    }
    position_ = last;
}

void TrackChecksums::Add(const void* bytes, std::size_t size)
{
    const auto* in = static_cast<const unsigned char*>(bytes);
    // zlib takes at most 4 GiB at a time.
    for (std::size_t done = 0; done < size;) {
        const std::size_t part = std::min<std::size_t>(size - done, std::numeric_limits<uInt>::max());
        crc_ = ::crc32(crc_, in + done, static_cast<uInt>(part));
        done += part;
    }
    // A sample split over two calls is completed first.
    while (size > 0 && pendingBytes_ > 0) {
        pending_[pendingBytes_++] = *in++;
        --size;
        if (pendingBytes_ == 4) {
            AddSamples(pending_, 1);
            pendingBytes_ = 0;
        }
    }
    // Little-endian samples on a little-endian host, as the sector data.
    AddSamples(in, size / 4);
    in += size / 4 * 4;
    for (size %= 4; size > 0; --size) pending_[pendingBytes_++] = *in++;
}

TrackChecksums::Sums TrackChecksums::Result() const
{
    return {low_, low_ + high_, frame450_, static_cast<std::uint32_t>(crc_)};
}

}  // namespace tesslow
