#pragma once

#include "app/disc_record.h"
#include "app/rip_job.h"
#include "platform/message_sink.h"
#include "ripper/rip_clock.h"
#include "ripper/rip_report.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

// The receiving side of a rip job: takes the worker's messages, keeps what the
// progress display shows (two bars, the current track, the clock, the error
// lines), answers the worker's cancel question, and gives the job's result.
// The rip session keeps one for the wizard's progress page and the command
// line, which draw from it. Used on the receiving thread only.
class RipMonitor {
public:
    // Handles one message from the worker and returns the answer for a sent one.
    std::intptr_t Handle(const Message& message, std::uint64_t nowMs);

    // Every 500 ms while the job runs: moves the clock on.
    void Tick(std::uint64_t nowMs);

    // The user confirmed Cancel; the worker learns it at its next question.
    void ConfirmCancel() { cancelConfirmed_ = true; }
    bool CancelConfirmed() const { return cancelConfirmed_; }

    bool Started() const { return started_; }
    bool Finished() const { return finished_; }

    // Canceled when the user confirmed Cancel (checked first), completed with
    // errors when at least one error line arrived, else success.
    RipResult Result() const;

    // The error lines, and the same joined with "\r\n" as the final page shows them.
    const std::vector<std::string>& ErrorLines() const { return errorLines_; }
    std::string ErrorText() const;

    // What became of each track the job did not cancel, in ripping order, and
    // what AccurateRip said of them (when it was asked and the job was not
    // canceled).
    const std::vector<TrackOutcome>& Tracks() const { return tracks_; }
    const std::optional<AccuracyOutcome>& Accuracy() const { return accuracy_; }
    // The front cover the files carry, or why none (not after a cancel).
    const std::optional<CoverOutcome>& Cover() const { return cover_; }
    // The album's ReplayGain, once its tags are in the files.
    const std::optional<AlbumGainOutcome>& AlbumGain() const { return albumGain_; }

    // The lines that are not errors (what was found of the drive's read
    // offset, silence outside the disc), the read offset the job read with,
    // and what the job is doing besides ripping tracks.
    const std::vector<std::string>& NoteLines() const { return noteLines_; }
    const std::optional<ReadOffsetUsed>& ReadOffset() const { return readOffset_; }
    RipStep Step() const { return step_; }

    std::int64_t TrackPosition() const { return trackPosition_; }
    std::int64_t TrackRange() const { return trackRange_; }
    std::int64_t JobPosition() const { return jobPosition_; }
    std::int64_t JobRange() const { return jobRange_; }
    std::optional<std::uint32_t> CurrentTrack() const { return currentTrack_; }
    // Which read of the current track this is: 1, then 2 and on while its copy is checked.
    int CurrentRead() const { return currentRead_; }
    const RipClock& Clock() const { return clock_; }

private:
    RipClock clock_;
    bool started_ = false;
    bool finished_ = false;
    bool cancelConfirmed_ = false;
    std::vector<std::string> errorLines_;
    std::vector<TrackOutcome> tracks_;
    std::optional<AccuracyOutcome> accuracy_;
    std::optional<CoverOutcome> cover_;
    std::optional<AlbumGainOutcome> albumGain_;
    std::vector<std::string> noteLines_;
    std::optional<ReadOffsetUsed> readOffset_;
    RipStep step_ = RipStep::Tracks;
    std::int64_t trackPosition_ = 0, trackRange_ = 0, jobPosition_ = 0, jobRange_ = 0;
    std::optional<std::uint32_t> currentTrack_;
    int currentRead_ = 1;
};

// What the progress shows of the current track: "NN — Title", and while its
// copy is checked by reading it again " (read 2, checking the copy)".
std::string TrackStatusText(const DiscRecord& disc, const RipMonitor& monitor);

}  // namespace tesslow
