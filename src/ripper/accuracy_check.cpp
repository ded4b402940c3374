#include "ripper/accuracy_check.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace tesslow {

namespace {

constexpr auto kGiveUpStep = std::chrono::milliseconds(100);

}  // namespace

struct AccuracyCheck::Pending {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<AccurateRipLookup> answer;
};

AccuracyCheck::AccuracyCheck(const DiscRecord& disc, bool enabled, const std::string& baseUrl,
                             std::chrono::milliseconds limit)
    : tracks_(disc.tracks),
      entries_(AccurateRipEntries(disc.rawToc)),
      id_(AccurateRipIdOf(disc.rawToc)),
      limit_(limit),
      deadline_(std::chrono::steady_clock::now() + limit)
{
    if (!enabled || !id_) return;
    pending_ = std::make_shared<Pending>();
    thread_ = WorkerThread([pending = pending_, id = *id_, baseUrl, limit] {
        AccurateRipLookup answer = LookUpAccurateRip(id, baseUrl, limit);
        std::lock_guard lock(pending->mutex);
        pending->answer = std::move(answer);
        pending->done.notify_all();
    });
}

AccuracyCheck::~AccuracyCheck()
{
    // Never waits: a look-up still under way is left to end on its own.
    if (thread_.Running()) (void)thread_.WaitFor(std::chrono::milliseconds(0));
}

TrackChecksums AccuracyCheck::ChecksumsFor(std::uint32_t trackIndex) const
{
    const std::int32_t length = trackIndex < tracks_.size() ? tracks_[trackIndex].length : 0;
    return TrackChecksums(length, trackIndex == 0, trackIndex + 1 == tracks_.size());
}

std::optional<AccurateRipLookup> AccuracyCheck::AnswerBy(std::chrono::steady_clock::time_point until,
                                                         const std::function<bool()>& giveUp)
{
    if (!pending_) return std::nullopt;
    until = std::min(until, deadline_);
    std::unique_lock lock(pending_->mutex);
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        const auto step = giveUp ? std::min(until, now + kGiveUpStep) : until;
        if (pending_->done.wait_until(lock, step, [&] { return pending_->answer.has_value(); })) return pending_->answer;
        if (step >= until) return std::nullopt;
        lock.unlock();
        const bool stop = giveUp();
        lock.lock();
        if (stop) return std::nullopt;
    }
}

std::optional<TrackAccuracy> AccuracyCheck::TrackVerdict(std::uint32_t trackIndex, const TrackChecksums::Sums& sums,
                                                         const std::function<bool()>& giveUp)
{
    const std::optional<AccurateRipLookup> answer = AnswerBy(deadline_, giveUp);
    if (!answer || answer->status != AccurateRipLookup::Status::Found || trackIndex >= entries_.size())
        return std::nullopt;
    return JudgeTrack(answer->responses, entries_[trackIndex], sums.v1, sums.v2);
}

AccuracyOutcome AccuracyCheck::Judge(const std::vector<TrackOutcome>& tracks, bool requireAccurate)
{
    AccuracyOutcome outcome;
    if (id_) outcome.id = id_->Text();
    if (!pending_) return outcome;

    AccurateRipLookup answer;
    if (std::optional<AccurateRipLookup> given = AnswerBy(deadline_)) {
        answer = std::move(*given);
    } else {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit_).count();
        answer.problem = "no answer within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
    }
    outcome.problem = answer.problem;
    switch (answer.status) {
    case AccurateRipLookup::Status::Found: outcome.status = AccuracyOutcome::Status::Found; break;
    case AccurateRipLookup::Status::NotFound: outcome.status = AccuracyOutcome::Status::NotFound; break;
    case AccurateRipLookup::Status::Error: outcome.status = AccuracyOutcome::Status::Error; break;
    }
    outcome.responses = answer.responses.size();
    for (const DbarResponse& response : answer.responses)
        for (const DbarResponse::Track& track : response.tracks)
            outcome.maxConfidence = std::max<int>(outcome.maxConfidence, track.confidence);

    std::vector<TrackAccuracy> verdicts;
    for (const TrackOutcome& track : tracks) {
        if (!track.sums || track.trackIndex >= entries_.size()) continue;
        AccuracyOutcome::Track judged;
        judged.trackIndex = track.trackIndex;
        judged.verdict = JudgeTrack(answer.responses, entries_[track.trackIndex], track.sums->v1, track.sums->v2);
        judged.text = VerdictText(judged.verdict, track.sums->v1, track.sums->v2, answer.responses.size());
        outcome.tracks.push_back(std::move(judged));
        verdicts.push_back(outcome.tracks.back().verdict);
    }

    switch (outcome.status) {
    case AccuracyOutcome::Status::Found:
        outcome.summary = SummaryText(verdicts);
        break;
    case AccuracyOutcome::Status::NotFound:
        outcome.summary = "AccurateRip: this disc is not in the database";
        break;
    case AccuracyOutcome::Status::Error:
        outcome.summary = "AccurateRip: the database could not be asked (" + outcome.problem + ")";
        break;
    case AccuracyOutcome::Status::Off:
        break;
    }
    const bool othersMatch = std::any_of(verdicts.begin(), verdicts.end(), [](const TrackAccuracy& v) {
        return v.result == TrackAccuracy::Result::Accurate;
    });
    for (AccuracyOutcome::Track& track : outcome.tracks) {
        const bool error = outcome.status == AccuracyOutcome::Status::Found
                               ? NotAccurateIsAnError(verdicts, track.verdict, requireAccurate)
                               : requireAccurate;
        if (!error) continue;
        track.error = othersMatch && track.verdict.result == TrackAccuracy::Result::NotAccurate
                          ? "AccurateRip does not confirm this track although others on the disc match; it may be damaged"
                          : "AccurateRip does not confirm this track";
    }
    return outcome;
}

}  // namespace tesslow
