#pragma once

#include <cstddef>
#include <cstdint>

namespace tesslow {

// The checksums of one track's audio, the PCM exactly as it goes to the
// encoder, computed as it streams past (no second read):
// - AccurateRip v1 and v2: over the track's samples (a sample is one stereo
//   frame as a little-endian 32-bit word), each times its position from 1;
//   v1 sums the low 32 bits of the products, v2 adds their high 32 bits. The
//   disc's first audio track leaves out its first 5 sectors but one sample,
//   the last its last 5 sectors: what a drive with a read offset cannot read.
// - the frame-450 sum: v1 over sector 450 of the track alone (positions from
//   1 again), for finding a drive's offset; 0 for a shorter track;
// - CRC-32 (zlib's polynomial) of all of the track's bytes, the "copy CRC"
//   of other rippers.
// One thread feeds an instance.
class TrackChecksums {
public:
    // `sectors` is the track's length; `first` and `last` tell whether it is
    // the disc's first or last audio track.
    TrackChecksums(std::int64_t sectors, bool first, bool last);

    // The next bytes of the track, in any division (a sample may be split).
    void Add(const void* bytes, std::size_t size);

    struct Sums {
        std::uint32_t v1 = 0;
        std::uint32_t v2 = 0;
        std::uint32_t frame450 = 0;
        std::uint32_t crc32 = 0;
    };
    // The checksums of what has been added (the whole track once it is all in).
    Sums Result() const;

private:
    void AddSamples(const unsigned char* in, std::size_t count);

    std::uint64_t from_;  // first position counted
    std::uint64_t to_;    // last position counted
    std::uint64_t position_ = 0;
    std::uint32_t low_ = 0, high_ = 0, frame450_ = 0;
    std::uint32_t crc_;
    unsigned char pending_[4] = {};
    std::size_t pendingBytes_ = 0;
};

}  // namespace tesslow
