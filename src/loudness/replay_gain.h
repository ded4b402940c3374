#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace tesslow {

// The loudness every ReplayGain 2.0 gain brings a track or album to, in LUFS.
inline constexpr double kReplayGainReference = -18.0;

// A ReplayGain result: the gain in dB that brings the audio to the reference
// loudness (reference − integrated loudness), and the largest sample's
// magnitude, 1.0 being full scale.
struct ReplayGain {
    double gain = 0;
    double peak = 0;
};

// Measures the loudness of one track's CD audio (44100 Hz, 2 channels, 16-bit
// little-endian) as it is given, block by block, while the track is encoded:
// ITU-R BS.1770 loudness with EBU R 128 gating, through libebur128, and the
// sample peak. Keeps every 400 ms block's energy (a few hundred kilobytes for
// a long track), so that an album's loudness is measured over all its tracks'
// blocks together rather than averaged from their gains.
//
// The constructor throws std::bad_alloc when libebur128 cannot set up. Add
// never throws. One thread at a time; Album only reads the meters it is given.
class ReplayGainMeter {
public:
    ReplayGainMeter();
    ~ReplayGainMeter();
    ReplayGainMeter(const ReplayGainMeter&) = delete;
    ReplayGainMeter& operator=(const ReplayGainMeter&) = delete;

    // Takes `bytes` bytes of audio; a part frame at the end is ignored.
    void Add(const unsigned char* audio, std::size_t bytes);

    // The track's gain and peak; nothing when no block was loud enough to be
    // measured (silence, or under 400 ms of audio).
    std::optional<ReplayGain> Track() const;

    // The loudness of all the given tracks measured together, and the largest
    // of their peaks; nothing when none of them could be measured.
    static std::optional<ReplayGain> Album(const std::vector<const ReplayGainMeter*>& tracks);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tesslow
