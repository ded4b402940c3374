#pragma once

#include "accuracy/accuraterip_verdict.h"
#include "accuracy/track_checksums.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

// What became of one track of a rip job (sent with UM_RIP_TRACK_DONE).
struct TrackOutcome {
    enum class Status { Ripped, Error, Skipped };
    std::uint32_t trackIndex = 0;  // into the disc record's lists
    int number = 0;                // the CD track number
    std::string file;              // the output path; empty when none was named
    Status status = Status::Ripped;
    std::vector<std::string> errors;           // the messages of its error lines
    std::optional<TrackChecksums::Sums> sums;  // when the whole track went to the encoder
};

// What the AccurateRip database said of the job's ripped tracks (sent with
// UM_RIP_ACCURACY once the tracks are done; not after a cancel).
struct AccuracyOutcome {
    enum class Status { Found, NotFound, Error, Off };
    Status status = Status::Off;
    std::string id;               // "NNN-id1-id2-freedb"; empty when the disc has none
    std::size_t responses = 0;
    int maxConfidence = 0;        // the highest confidence of any response
    std::string problem;          // why the database could not be asked, or what was dropped from its answer

    struct Track {
        std::uint32_t trackIndex = 0;
        TrackAccuracy verdict;
        std::string text;   // VerdictText
        std::string error;  // when it is also an error of the job: the error line's message
    };
    std::vector<Track> tracks;  // the ripped tracks, in ripping order
    std::string summary;        // "AccurateRip: ..."
};

}  // namespace tesslow
