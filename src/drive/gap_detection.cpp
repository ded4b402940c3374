#include "drive/gap_detection.h"

#include "app/cd_audio.h"
#include "drive/q_frame.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <map>

namespace tesslow {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kWindow = 5;        // sectors read with their Q at a time, two either side
constexpr std::int32_t kReach = 80;        // how far off a drive's frame may be (QSHIFT is at most 75)
constexpr int kFruitlessReads = 6;         // reads without news before a boundary is given up
constexpr int kConfirmTries = 3;

struct Failure {};   // the drive cannot tell: the whole detection stops

// One position frame, placed by its absolute time.
struct Placed {
    std::int32_t sector = 0;
    QPosition position;
};

// Reads windows of sectors with their Q, learning how far off the drive's
// frames land so that later windows are aimed where the wanted frames come.
class QProbe {
public:
    QProbe(ScsiCommand& drive, std::int32_t audioEnd, GapDetection& result)
        : drive_(drive), audioEnd_(audioEnd), result_(result)
    {
    }

    void StartTrack(Clock::duration budget, const std::function<bool()>& canceled)
    {
        deadline_ = Clock::now() + budget;
        canceled_ = &canceled;
    }

    // The frames of the sectors around `sector`.
    std::vector<Placed> Around(std::int32_t sector)
    {
        if (Clock::now() > deadline_ || (*canceled_ && (*canceled_)())) throw Failure{};
        const std::int32_t first = std::clamp(sector - shift_ - kWindow / 2, 0, std::max(0, audioEnd_ - kWindow));
        buffer_.assign(kWindow * (kSectorBytes + kQFrameBytes), 0);
        ++result_.reads;
        const std::int32_t status = drive_.ReadCdWithQ(first, kWindow, buffer_.data());
        if (status != kScsiOk) {
            // A drive that cannot read the sub-channel says so at once.
            if (status == kSenseInvalidField || status == kSenseInvalidOpcode || ++failedReads_ > 2) throw Failure{};
            return {};
        }
        std::vector<Placed> placed;
        std::map<std::int32_t, int> shifts;
        for (std::int32_t i = 0; i < kWindow; ++i) {
            QFrame frame;
            std::copy_n(buffer_.begin() + i * (kSectorBytes + kQFrameBytes) + kSectorBytes, kQFrameBytes, frame.begin());
            const std::optional<QPosition> position = Decode(frame, first + i);
            if (!position) continue;
            placed.push_back({position->absolute, *position});
            ++shifts[position->absolute - (first + i)];
        }
        if (!shifts.empty())
            shift_ = std::max_element(shifts.begin(), shifts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
        return placed;
    }

private:
    // A frame read as BCD, or as binary on a drive seen to send binary. Until
    // a frame makes sense in one reading only, a frame that makes sense in
    // both is left unread rather than guessed.
    std::optional<QPosition> Decode(const QFrame& frame, std::int32_t asked)
    {
        auto near = [&](const std::optional<QPosition>& p) {
            return p && std::abs(p->absolute - asked) <= kReach ? p : std::nullopt;
        };
        const std::optional<QPosition> bcd = near(DecodeQPosition(frame, false)), binary = near(DecodeQPosition(frame, true));
        if (bcd && binary && *bcd != *binary) {
            if (!binaryDrive_) return std::nullopt;
            return *binaryDrive_ ? binary : bcd;
        }
        if (bcd.has_value() != binary.has_value()) binaryDrive_ = binary.has_value();
        return bcd ? bcd : binary;
    }

    ScsiCommand& drive_;
    std::int32_t audioEnd_;
    GapDetection& result_;
    std::int32_t shift_ = 0;
    std::optional<bool> binaryDrive_;
    int failedReads_ = 0;
    Clock::time_point deadline_{};
    const std::function<bool()>* canceled_ = nullptr;
    std::vector<std::uint8_t> buffer_;
};

// What one track's search knows: the track, its neighbours' starts, and the
// frames' verdicts so far.
struct TrackSearch {
    int number = 0;               // this track's number
    std::int32_t start = 0;       // its INDEX 01
    std::int32_t previousStart = 0;
    int previousNumber = 0;       // 0 when no audio track comes before
    bool preemphasis = false;

    // True when the frame says the sector belongs to this track (its pregap
    // or later). A frame whose times disagree with the table of contents is
    // not evidence and answers nothing.
    std::optional<bool> Verdict(const Placed& frame)
    {
        const QPosition& q = frame.position;
        if (q.track == kLeadOutTrackNumber) return std::nullopt;
        if (q.track == number) {
            const std::int32_t expected = q.index == 0 ? start - q.absolute : q.absolute - start;
            if (std::abs(q.relative - expected) > (q.index == 0 ? 1 : 0)) return std::nullopt;
            if (q.index > 0 && (q.control & 0x01) != 0) preemphasis = true;
            return true;
        }
        if (q.track == previousNumber && q.index > 0 && q.relative != q.absolute - previousStart) return std::nullopt;
        return q.track > number;
    }
};

// The first sector of the track's pregap (its INDEX 01 when it has none).
std::int32_t FindBoundary(QProbe& probe, TrackSearch& search, std::int32_t lower)
{
    std::int32_t before = lower, from = search.start;  // sectors known before / in the track
    int fruitless = 0, contradictions = 0;
    auto learn = [&](const std::vector<Placed>& frames) {
        bool news = false;
        for (const Placed& frame : frames) {
            const std::optional<bool> inTrack = search.Verdict(frame);
            if (!inTrack) continue;
            if (*inTrack ? frame.sector <= before : frame.sector >= from) {
                ++contradictions;
            } else if (*inTrack && frame.sector < from) {
                from = frame.sector;
                news = true;
            } else if (!*inTrack && frame.sector > before) {
                before = frame.sector;
                news = true;
            }
        }
        if (contradictions > 2) throw Failure{};
        return news;
    };
    while (from - before > 1) {
        const std::int32_t middle = before + (from - before) / 2;
        if (learn(probe.Around(middle))) {
            fruitless = 0;
        } else if (++fruitless >= kFruitlessReads) {
            // One sector in between whose Q never holds a position (the
            // catalog or ISRC stands there): it is counted with the track before.
            if (from - before == 2) break;
            throw Failure{};
        }
    }
    // A second look: a fresh read around the boundary must agree, with a
    // frame on each side of it.
    for (int attempt = 0; attempt < kConfirmTries; ++attempt) {
        bool sawBefore = false, sawFrom = false;
        for (const Placed& frame : probe.Around(from)) {
            const std::optional<bool> inTrack = search.Verdict(frame);
            if (!inTrack) continue;
            if (*inTrack != (frame.sector >= from)) throw Failure{};
            (*inTrack ? sawFrom : sawBefore) = true;
        }
        if (sawBefore && sawFrom) return from;
    }
    throw Failure{};
}

}  // namespace

GapDetection DetectGaps(ScsiCommand& drive, const DiscRecord& disc, std::chrono::milliseconds perTrack,
                        const std::function<bool()>& canceled)
{
    GapDetection result;
    QProbe probe(drive, AudioEnd(disc), result);
    std::vector<std::int32_t> pregaps;
    std::vector<bool> preemphasis;
    try {
        for (std::size_t t = 0; t < disc.tracks.size(); ++t) {
            TrackSearch search;
            search.number = disc.trackNumbers[t];
            search.start = disc.tracks[t].start;
            if (t > 0) {
                search.previousNumber = disc.trackNumbers[t - 1];
                search.previousStart = disc.tracks[t - 1].start;
            }
            probe.StartTrack(perTrack, canceled);
            std::int32_t pregap = 0;
            if (search.number == 1) {
                pregap = search.start;  // track 1's INDEX 00 begins the disc
                for (const Placed& frame : probe.Around(search.start + 1)) search.Verdict(frame);
            } else {
                const std::int32_t lower = t > 0 ? search.previousStart : 0;
                pregap = search.start - FindBoundary(probe, search, lower);
            }
            pregaps.push_back(pregap);
            preemphasis.push_back(search.preemphasis);
        }
    } catch (const Failure&) {
        return result;
    }
    result.detected = true;
    result.pregaps = std::move(pregaps);
    result.preemphasis = std::move(preemphasis);
    return result;
}

}  // namespace tesslow
