#pragma once

#include "app/disc_record.h"
#include "app/rip_job.h"
#include "encoding/overwrite.h"
#include "ripper/rip_plan.h"

#include <atomic>
#include <memory>
#include <string>

namespace tesslow {

struct TitleNaming;

// What the pages hand to each other and to the engine, for the whole run:
// a second disc ("Rip more") starts from the first one's choices. The records
// are shared with worker threads that may outlive a page's wait for them.
// Touched by the UI thread only, except where a field says otherwise.
struct WizardState {
    // What the pages chose, each page filling its part as it is left; the
    // engine's planner builds the job from them when the destination page is
    // left with Next, as it builds the command line's. The drive key is the
    // disc search's.
    RipChoices choices;
    RipJob job;
    std::shared_ptr<DiscRecords> records = std::make_shared<DiscRecords>();
    bool ripAgain = false;                       // the insert-disc page prompts instead of searching
    // The look-up of the current activation of the tracks page; a new one
    // each time, so a look-up left behind never reads a cleared flag.
    std::shared_ptr<std::atomic<bool>> titleLookupStop = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<TitleNaming> naming;  // made by the tracks page on first use
    RipResult result = RipResult::Success;
    std::string errorText;                       // lines separated by CR LF
    std::string accuracyLine;                    // what AccurateRip said of the rip, or empty
    std::string noteText;                        // the rip's notes (the read offset found, silence added), one per line
    int tracksRipped = -1;                       // files the last rip left (whole or with errors); -1 unknown
    // The run's remembered answer to "Remember my choice for all files".
    std::shared_ptr<OverwritePolicy> overwrite = std::make_shared<OverwritePolicy>();
};

}  // namespace tesslow
