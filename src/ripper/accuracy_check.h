#pragma once

#include "accuracy/accuraterip_id.h"
#include "accuracy/accuraterip_lookup.h"
#include "accuracy/track_checksums.h"
#include "app/disc_record.h"
#include "platform/worker_thread.h"
#include "ripper/rip_report.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tesslow {

// A rip job's check against the AccurateRip database. The look-up starts on a
// thread of its own as soon as the check is made (so it never delays the first
// track); Judge waits for it only as long as the look-up may take in all.
// A look-up that misses that deadline is abandoned and the database counts as
// not answering. Used by the rip worker's thread.
class AccuracyCheck {
public:
    static constexpr std::chrono::seconds kLimit{20};

    // `enabled` false, or a disc without an AccurateRip id: nothing is asked
    // and Judge reports Off.
    AccuracyCheck(const DiscRecord& disc, bool enabled, const std::string& baseUrl,
                  std::chrono::milliseconds limit = kLimit);
    ~AccuracyCheck();
    AccuracyCheck(const AccuracyCheck&) = delete;
    AccuracyCheck& operator=(const AccuracyCheck&) = delete;

    // An empty accumulator for audio track `trackIndex` of the disc.
    TrackChecksums ChecksumsFor(std::uint32_t trackIndex) const;

    // Whether the database is being asked, and until when it is waited for.
    bool Asking() const { return pending_ != nullptr; }
    std::chrono::steady_clock::time_point Deadline() const { return deadline_; }

    // The database's answer as soon as it is there, waiting no later than
    // `until` (nor than the look-up's own limit); nothing when it has not
    // come by then, or nothing is asked. With `giveUp`, it is asked every
    // 100 ms while waiting, and true ends the wait.
    std::optional<AccurateRipLookup> AnswerBy(std::chrono::steady_clock::time_point until,
                                              const std::function<bool()>& giveUp = {});

    // What the database says of one track's checksums, once it has answered
    // (waiting as AnswerBy does until its own limit); nothing when it could
    // not be asked, does not know the disc, or the wait was given up.
    std::optional<TrackAccuracy> TrackVerdict(std::uint32_t trackIndex, const TrackChecksums::Sums& sums,
                                              const std::function<bool()>& giveUp);

    // Where each audio track's entries sit in the database's responses.
    const std::vector<std::size_t>& Entries() const { return entries_; }

    // The verdicts on the tracks that were ripped whole (those with checksums);
    // with `requireAccurate` every track that is not accurate is an error.
    AccuracyOutcome Judge(const std::vector<TrackOutcome>& tracks, bool requireAccurate);

private:
    struct Pending;
    std::vector<TocEntry> tracks_;
    std::vector<std::size_t> entries_;
    std::optional<AccurateRipId> id_;
    std::shared_ptr<Pending> pending_;
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point deadline_;
    WorkerThread thread_;
};

}  // namespace tesslow
