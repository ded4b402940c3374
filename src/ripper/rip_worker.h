#pragma once

#include "app/disc_record.h"
#include "app/rip_job.h"

namespace tesslow {

class DesktopShell;
class MessageSink;
class OverwritePolicy;
class OverwriteQuestion;
struct Settings;

// The settings a rip job reads, taken from a Settings snapshot when the job
// starts (the command line may override them for one run).
struct RipSettings {
    bool jitterCorrection = false;  // JitterCorrection
    bool ejectWhenDone = false;     // EjectWhenDone
    bool openFolderWhenDone = false;  // OpenFolderWhenDone

    static RipSettings From(const Settings& settings);
};

// Everything one rip job works with. The pointers stay valid until Run returns.
struct RipWorkerSetup {
    const RipJob* job = nullptr;           // tracks, format, quality, folder, template, overwrite flag
    DiscRecord* disc = nullptr;            // the job drive's disc: its drive, tracks and tags
    RipSettings settings;
    MessageSink* sink = nullptr;           // the progress display: rip messages, cancel question
    OverwritePolicy* overwrite = nullptr;  // the run's remembered overwrite choice
    OverwriteQuestion* question = nullptr; // may be null: existing files are then skipped
    DesktopShell* shell = nullptr;         // opens the folder at the end; may be null
};

// Carries out one rip job on the calling thread. For every selected track it
// builds the output path, creates the encoder, starts the track's extraction
// on a thread of its own, feeds the encoder from the pipe in 26-sector chunks
// and finishes the file, reporting progress as it goes. A track that fails
// becomes one error line ("<file name>: <message>") and the job goes on with
// the next; a file that was created for a failed or cancelled track is
// deleted, an existing file that was skipped is never touched. The job stops
// early only when the sink answers the cancel question. At the end it ejects
// the disc and opens the folder when the settings ask for it (the folder not
// after a cancel) and posts UM_RIP_FINISHED.
//
// Messages: UM_RIP_STARTED, UM_RIP_TOTAL_RANGE, UM_RIP_TRACK_STARTED,
// UM_RIP_TRACK_RANGE, UM_RIP_PROGRESS and UM_RIP_FINISHED are posted;
// UM_RIP_QUERY_CANCEL (before every track and every chunk) and UM_RIP_ERROR
// are sent. Positions and ranges are bytes of CD audio.
class RipWorker {
public:
    explicit RipWorker(const RipWorkerSetup& setup);
    void Run();

private:
    struct Track;
    void RipTrack(std::uint32_t trackIndex);
    void ReportFailure(Track& track, const std::string& message);
    bool AskCancel();

    RipWorkerSetup setup_;
    std::string folder_;  // OutputFolder with a trailing slash
    std::int64_t jobPosition_ = 0;
    bool canceled_ = false;
};

}  // namespace tesslow
