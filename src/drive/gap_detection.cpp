#include "drive/gap_detection.h"

#include "app/cd_audio.h"
#include "app/raw_toc.h"
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

// Where each track's INDEX 01 lies, by track number, from the TOC. A frame
// of a track it knows must have times that agree with it: inside the track
// the relative time counts up from INDEX 01, inside its pregap it counts down
// to it (a sector's worth of slack, as discs differ on where the count ends).
class TocCheck {
public:
    explicit TocCheck(const DiscRecord& disc)
    {
        for (const TocDescriptor& d : DecodeRawToc(disc.rawToc))
            if (!d.LeadOut()) starts_[d.number] = d.start;
    }

    bool Agrees(const QPosition& q) const
    {
        if (q.track == kLeadOutTrackNumber) return true;
        const auto start = starts_.find(q.track);
        if (start == starts_.end()) return false;
        if (q.index == 0) return std::abs(q.absolute + q.relative - start->second) <= 1;
        return q.relative == q.absolute - start->second;
    }

private:
    std::map<int, std::int32_t> starts_;
};

// Reads windows of sectors with their Q, learning how far off the drive's
// frames land so that later windows are aimed where the wanted frames come.
// A frame is read as BCD and as binary; a reading is taken only when it is
// the one that agrees with the TOC.
class QProbe {
public:
    QProbe(ScsiCommand& drive, const DiscRecord& disc, GapDetection& result)
        : drive_(drive), toc_(disc), audioEnd_(AudioEnd(disc)), result_(result)
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
    // Both readings can agree with the TOC (track 1 from sector 0 has the
    // same digits in its relative and absolute times): then the reading the
    // drive was seen to use decides, or before that the one that lands just
    // where the frames of this drive land.
    std::optional<QPosition> Decode(const QFrame& frame, std::int32_t asked)
    {
        auto fits = [&](const std::optional<QPosition>& p) {
            return p && std::abs(p->absolute - asked) <= kReach && toc_.Agrees(*p) ? p : std::nullopt;
        };
        const std::optional<QPosition> bcd = fits(DecodeQPosition(frame, false)), binary = fits(DecodeQPosition(frame, true));
        if (bcd && binary && *bcd != *binary) {
            if (binaryDrive_) return *binaryDrive_ ? binary : bcd;
            const bool bcdLands = bcd->absolute == asked + shift_, binaryLands = binary->absolute == asked + shift_;
            if (bcdLands == binaryLands) return std::nullopt;
            return bcdLands ? bcd : binary;
        }
        if (bcd.has_value() != binary.has_value()) binaryDrive_ = binary.has_value();
        return bcd ? bcd : binary;
    }

    ScsiCommand& drive_;
    TocCheck toc_;
    std::int32_t audioEnd_;
    GapDetection& result_;
    std::int32_t shift_ = 0;
    std::optional<bool> binaryDrive_;  // learned from frames that only one reading fits
    int failedReads_ = 0;
    Clock::time_point deadline_{};
    const std::function<bool()>* canceled_ = nullptr;
    std::vector<std::uint8_t> buffer_;
};

// One track's search: its number and INDEX 01, and whether a frame inside it
// carries the pre-emphasis bit.
struct TrackSearch {
    int number = 0;
    std::int32_t start = 0;
    bool preemphasis = false;

    // True when the frame says the sector belongs to this track (its pregap
    // or later), false when to a track before it.
    bool InTrack(const Placed& frame)
    {
        const QPosition& q = frame.position;
        // A track's pregap carries its control bits too.
        if (q.track == number && (q.control & 0x01) != 0) preemphasis = true;
        return q.track >= number;  // the lead-out (AAh) comes after every track
    }
};

// The first sector of the track's pregap (its INDEX 01 when it has none), or
// nothing when the sector at the boundary never holds a position (the disc
// has its catalog number or an ISRC there): which side it belongs to cannot
// be told.
std::optional<std::int32_t> FindBoundary(QProbe& probe, TrackSearch& search, std::int32_t lower)
{
    std::int32_t before = lower, from = search.start;  // sectors known before / in the track
    int fruitless = 0, contradictions = 0;
    auto learn = [&](const std::vector<Placed>& frames) {
        bool news = false;
        for (const Placed& frame : frames) {
            const bool inTrack = search.InTrack(frame);
            if (inTrack ? frame.sector <= before : frame.sector >= from) {
                ++contradictions;
            } else if (inTrack && frame.sector < from) {
                from = frame.sector;
                news = true;
            } else if (!inTrack && frame.sector > before) {
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
            if (from - before == 2) return std::nullopt;
            throw Failure{};
        }
    }
    // A second look: a fresh read around the boundary must agree, with a
    // frame on each side of it.
    for (int attempt = 0; attempt < kConfirmTries; ++attempt) {
        bool sawBefore = false, sawFrom = false;
        for (const Placed& frame : probe.Around(from)) {
            const bool inTrack = search.InTrack(frame);
            if (inTrack != (frame.sector >= from)) throw Failure{};
            (inTrack ? sawFrom : sawBefore) = true;
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
    QProbe probe(drive, disc, result);
    std::vector<std::optional<std::int32_t>> pregaps;
    std::vector<bool> preemphasis;
    try {
        for (std::size_t t = 0; t < disc.tracks.size(); ++t) {
            TrackSearch search;
            search.number = disc.trackNumbers[t];
            search.start = disc.tracks[t].start;
            probe.StartTrack(perTrack, canceled);
            std::optional<std::int32_t> pregap;
            if (search.number == 1) {
                pregap = search.start;  // track 1's INDEX 00 begins the disc
                for (const Placed& frame : probe.Around(search.start + 1)) search.InTrack(frame);
            } else {
                const std::int32_t lower = t > 0 ? disc.tracks[t - 1].start : 0;
                if (const auto boundary = FindBoundary(probe, search, lower)) pregap = search.start - *boundary;
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
