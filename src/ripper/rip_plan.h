#pragma once

#include "app/disc_record.h"
#include "app/rip_job.h"
#include "ripper/rip_worker.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tesslow {

struct Settings;

// What a front end chooses for one rip on top of the user's settings: the
// command line fills it from its options, the wizard's pages from their
// controls, and PlanRip turns either into the job. Every choice left unset
// comes from the settings (see stored_choices.h), as the wizard's pages would
// have left them.
struct RipChoices {
    std::optional<FormatCode> format;            // else LastFormat (MP3 for a code we do not know)
    std::optional<QualityPreset> preset;         // else LastPreset
    std::optional<std::int32_t> customKbps;      // Custom only: the step with this bit rate, over qualityStep
    std::optional<std::uint32_t> qualityStep;    // a position of the format's slider (clamped), else the stored step
    std::vector<std::uint32_t> trackPositions;   // 1-based positions on the disc; empty: every track
    std::optional<std::string> destination;      // else LastFolder; subfolders are added below it
    std::optional<std::string> nameTemplate;     // else NameTemplate
    std::optional<bool> artistFolder;            // else CreateArtistSubfolder
    std::optional<bool> albumFolder;             // else CreateAlbumSubfolder
    std::optional<bool> yearInAlbumFolder;       // else AddYearToFolderName
    std::optional<bool> alwaysOverwrite;         // else AlwaysOverwrite
    std::optional<bool> jitterCorrection;        // else JitterCorrection
    std::optional<bool> ejectWhenDone;           // else EjectWhenDone
    std::optional<bool> openFolderWhenDone;      // else OpenFolderWhenDone
    std::optional<bool> accurateRip;             // else AccurateRip
    bool requireAccurate = false;                // every track AccurateRip does not confirm is an error
};

// The job and the settings a rip session runs with.
struct RipPlan {
    RipJob job;
    RipSettings settings;
};

// A choice that does not fit the disc or the format; the text says which.
class RipChoiceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Turns the settings and the choices into the job for the disc in `driveKey`
// (`disc` is its record, named already: the subfolders take its artist and
// album). Throws RipChoiceError for a track the disc does not have or a
// custom bit rate that is not a step of the format's table.
RipPlan PlanRip(const Settings& settings, const RipChoices& choices, const std::string& driveKey,
                const DiscRecord& disc);

}  // namespace tesslow
