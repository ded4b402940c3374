#pragma once

#include "accuracy/accuraterip_verdict.h"
#include "accuracy/track_checksums.h"
#include "loudness/replay_gain.h"

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
    std::int64_t silentSamples = 0;            // given as silence: the read offset put them outside the disc

    // How the copy was checked: AccurateRip confirmed it after one read; a
    // second read agreed (the confirming read's CRC-32 is testCrc); no two
    // reads agreed; or nothing checked it (verify reads off, a cancel, or
    // the track was not ripped whole).
    enum class Check { None, AccurateRip, Reads, Disagreed };
    Check check = Check::None;
    int reads = 0;                        // whole reads of the track's audio
    std::optional<std::uint32_t> testCrc;
    double peak = 0;                      // the file's largest sample, 0 to 1
    double speed = 0;                     // the first read's speed, in multiples of 75 sectors a second
    bool deemphasised = false;            // the file holds the track's audio with the de-emphasis filter applied
    std::optional<ReplayGain> replayGain;  // measured on the file's audio and in its tags; none when off, for WAV, or silent
};

// The album's ReplayGain, measured over every track of the job that got a
// track gain, together (sent with UM_RIP_ALBUM_GAIN once the tracks are done
// and their files carry it; not after a cancel).
struct AlbumGainOutcome {
    ReplayGain gain;
    std::vector<int> tracks;  // the CD numbers of the tracks measured, in ripping order
    bool wholeDisc = false;   // they are every audio track of the disc
};

// The read offset correction a rip job read with, and where it came from
// (sent with UM_RIP_READ_OFFSET before the first track).
struct ReadOffsetUsed {
    enum class Source { Given, Remembered, Found, Unknown };
    std::int32_t samples = 0;
    Source source = Source::Unknown;
    bool overread = false;
    std::string drive;       // the drive model's name; empty when it did not say
    int agreeingTracks = 0;  // found: the tracks that agreed on it
};

// What a rip job is doing besides ripping its tracks (posted with UM_RIP_STEP).
enum class RipStep { Tracks = 0, FindingReadOffset = 1, ReadingSubchannel = 2 };

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

// The front cover a rip job's files carry, and where it came from (sent
// with UM_RIP_COVER once it is known, before the tracks' tags need it).
struct CoverOutcome {
    enum class Source { None, File, Cache, Archive };
    Source source = Source::None;
    std::string where;    // the picture file's path, or the archive's address; empty for none
    std::string mime;     // "image/jpeg" or "image/png"
    int width = 0;
    int height = 0;
    std::size_t bytes = 0;
    std::string problem;  // none: why ("the disc was not named from a MusicBrainz release")
    std::string text;     // "Cover art: ..." as the log and the report say it
};

}  // namespace tesslow
