#include "accuracy/track_checksums.h"

#include "app/cd_audio.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <cstring>

namespace tesslow {

namespace {

// What a drive with a read offset may miss at the disc's two ends.
constexpr std::uint64_t kSkippedSamples = 5 * kSectorFrames;
constexpr std::uint64_t kFrame450First = 450 * kSectorFrames + 1;
constexpr std::uint64_t kFrame450Last = 451 * kSectorFrames;

// Sums the low and the high 32 bits of sample x position over `count`
// samples whose positions start at `first`. A track's positions stay below
// 2^32 and each sum of halves fits 64 bits, so the loop vectorises
// (widening 32-bit multiplies); cloned for the processor it runs on. The
// clones' resolver runs while the program is being loaded, before
// ThreadSanitizer's runtime is ready, so that build has one plain loop.
#if defined(__SANITIZE_THREAD__)
#define TESSLOW_CLONED
#else
#define TESSLOW_CLONED __attribute__((target_clones("avx512f", "avx2", "default")))
#endif
TESSLOW_CLONED void SumProducts(const unsigned char* in, std::size_t count, std::uint32_t first,
                                std::uint64_t& lowSum, std::uint64_t& highSum)
{
    std::uint64_t low = 0, high = 0;
    for (std::size_t k = 0; k < count; ++k) {
        std::uint32_t sample;
        std::memcpy(&sample, in + 4 * k, 4);
        const std::uint64_t product = std::uint64_t{sample} * static_cast<std::uint32_t>(first + k);
        low += product & 0xFFFFFFFFu;
        high += product >> 32;
    }
    lowSum += low;
    highSum += high;
}

}  // namespace

TrackChecksums::TrackChecksums(std::int64_t sectors, bool first, bool last)
    : from_(first ? kSkippedSamples : 1),
      to_(0),
      crc_(0)
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
    if (begin <= end) {
        std::uint64_t low = 0, high = 0;
        SumProducts(in + (begin - first) * 4, end - begin + 1, static_cast<std::uint32_t>(begin), low, high);
        low_ += static_cast<std::uint32_t>(low);
        high_ += static_cast<std::uint32_t>(high);
    }
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
    crc_ = crc32_gzip_refl(crc_, in, size);
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
    return {low_, low_ + high_, frame450_, crc_};
}

}  // namespace tesslow
