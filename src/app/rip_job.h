#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesslow {

// Output format of a rip job. Codes 0 and above 6 are invalid but can be held,
// since they come from stored settings.
enum class FormatCode : std::uint32_t {
    Wav = 1,
    Mp3 = 2,
    Wma = 3,
    Ogg = 4,
    Ape = 5,
    Flac = 6,
};

enum class QualityPreset : std::uint32_t {
    Low = 0,
    Medium = 1,
    High = 2,
    Custom = 3,
};

// Outcome of the last job, as the final page shows it.
enum class RipResult : std::uint32_t {
    Success = 0,
    Canceled = 1,
    CompletedWithErrors = 3,
};

// The parameters of the rip job, collected page by page and read by the rip
// worker. One instance lives for the whole run, so a second job ("Rip more")
// starts from the first one's choices; the rip session hands the worker a
// copy of its own.
//
// Not locked. The pages fill it before the rip starts; the drive key is
// written by the disc search before it reports its result through the message
// sink, which orders the two.
struct RipJob {
    std::string driveKey;                       // selects the DiscRecord
    std::vector<std::uint32_t> SelectedTracks;  // track indexes, in ripping order
    FormatCode format = FormatCode::Mp3;
    QualityPreset preset = QualityPreset::Medium;
    std::int32_t qualityStep = 0;               // position of the custom-quality slider
    std::int32_t qualityValue = 0;              // the step's encoder value (bit/s)
    std::string OutputFolder;                   // including artist and album subfolders
    std::string NameTemplate;
    bool AlwaysOverwrite = false;
};

}  // namespace tesslow
