#pragma once

#include "app/disc_record.h"
#include "app/rip_job.h"
#include "drive/disc_subcode.h"
#include "drive/read_offset.h"
#include "ripper/read_offset_choice.h"
#include "ripper/rip_report.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tesslow {

class AccuracyCheck;
class CoverArtFetch;
class DesktopShell;
class Encoder;
class MessageSink;
class PartialFile;
class ReplayGainMeter;
class ReplayGainMeterThread;
class OverwritePolicy;
class OverwriteQuestion;
struct Settings;

// The settings a rip job reads, taken from a Settings snapshot when the job
// starts (the command line may override some of them for one run).
struct RipSettings {
    bool jitterCorrection = false;    // JitterCorrection
    bool ejectWhenDone = false;       // EjectWhenDone
    bool openFolderWhenDone = false;  // OpenFolderWhenDone
    bool mp3ForceCbr = false;         // MP3ForceCBR
    std::string moduleFolder{};       // AppPath: where the encoder modules are
    bool accurateRip = false;         // AccurateRip: check the ripped tracks against its database
    bool requireAccurate = false;     // every track that AccurateRip does not confirm is an error
    std::string accurateRipUrl{};     // the database's address (AccurateRipBaseUrl)
    std::chrono::milliseconds accurateRipLimit{20000};  // the look-up, all of it
    ReadOffsetWish readOffset{};      // the drive's read offset: given, or to be found
    bool verifyReads = false;         // VerifyReads: read a track AccurateRip does not confirm again
    bool writeLog = false;            // WriteLog: the rip log beside the files
    bool writeCue = false;            // WriteCue: the CUE sheet beside the files
    bool detectGaps = false;          // find the tracks' gaps in the Q sub-channel (on for every rip from settings)
    bool deemphasis = false;          // Deemphasis: a pre-emphasised track is de-emphasised (not for WAV)
    int coverArtSize = 500;           // CoverArtSize: the front cover's size asked of the archive (0: the original)
    std::string coverArtUrl{};        // the Cover Art Archive's address (CoverArtBaseUrl)
    std::string coverFile{};          // a picture the command line gave for this rip's front cover
    std::string coverCacheFolder{};   // empty: the default cover cache
    std::chrono::milliseconds coverArtLimit{20000};  // the cover's look-up, all of it
    bool replayGain = false;          // ReplayGain: track and album gains measured and tagged (not for WAV)

    static RipSettings From(const Settings& settings);
};

// Everything one rip job works with. The worker owns its copy of the job,
// the disc record and the settings, and shares the rest, so a worker that has
// been abandoned still touches nothing freed.
struct RipWorkerSetup {
    RipJob job;                                    // tracks, format, quality, folder, template, overwrite flag
    DiscRecord disc;                               // the job drive's record: its drive, tracks and tags
    RipSettings settings;
    std::shared_ptr<MessageSink> sink;             // the progress display: rip messages, cancel question
    std::shared_ptr<OverwritePolicy> overwrite;    // the run's remembered overwrite choice
    std::shared_ptr<OverwriteQuestion> question;   // may be null: existing files are then skipped
    std::shared_ptr<DesktopShell> shell;           // opens the folder at the end; may be null
    // Set once the front end has given up waiting for the worker; a worker
    // that runs on after that skips the end actions. May be null.
    std::shared_ptr<const std::atomic<bool>> abandoned;
    // Set from any thread (a signal handler's flag) to cancel at once, as if
    // the sink had confirmed it; the session confirms it to its front end.
    // May be null.
    std::shared_ptr<const std::atomic<bool>> cancelRequested;
};

// Carries out one rip job on the calling thread. For every selected track it
// builds the output path, creates the encoder, starts the track's extraction
// stream, feeds the encoder in 26-sector chunks and finishes the file,
// reporting progress as it goes. A track that fails becomes one error line
// ("<file name>: <message>") and the job goes on with the next.
//
// Files land whole or not at all: the encoder writes under a temporary name
// (PartialFile) that takes the output path only once the file is complete,
// so a failed or cancelled track leaves no file of its own and any file that
// was at its path untouched; answering yes to the existing-file question
// replaces the old file only then. No two tracks of a job get the same path:
// a later one gets " (2)" (and so on) and a line saying so.
//
// Before the first track the disc's catalog number, ISRCs, pre-emphasis flags
// and (with detectGaps) its gaps are read from the sub-channel, posted as a
// step of the progress; the ISRCs go into the tags, all of it into the CUE
// sheet and the log. With deemphasis on, a pre-emphasised track's audio is
// de-emphasised before it reaches the encoder of any format but WAV, with a
// note and a line in the comment tag; checksums and reads are compared on the
// disc's own audio.
//
// Before the first track the drive's read offset is settled (see
// ChooseReadOffset; a search shows as a step of the progress) and every track
// is read corrected by it. Samples that it puts outside the disc's audio and
// that were not overread are silence, with a note that says so.
//
// A track that was ripped whole but not known to be exact (sectors the drive
// could not read, or that could not be verified) keeps its file and gets an
// error line that says so.
//
// With AccurateRip on, the database is asked while the tracks are ripped, and
// each track's checksums are taken from exactly the audio given to its
// encoder. Once the tracks are done (not after a cancel) the verdicts go out
// with UM_RIP_ACCURACY; a track that does not match while others on the disc
// do gets an error line (every track that does not match, when accurate rips
// are required). The job stops early only when the sink answers the
// cancel question (asked before every track, every chunk and, while a chunk
// is slow to come, every 100 ms) or the cancel request is set. At the end it ejects the disc and opens the
// folder when the settings ask for it (the folder not after a cancel, neither
// once abandoned) and posts UM_RIP_FINISHED.
//
// The front cover is looked for from the start on a thread of its own (see
// CoverArtFetch): every encoder but WAV's embeds it in its tags, waiting for
// it no longer than the look-up's deadline. Once the tracks are done (not
// after a cancel) what came of it goes out with UM_RIP_COVER, and the picture
// is put beside the first track's file as cover.jpg (or cover.png), kept
// from replacing a different picture of that name unless the job overwrites
// files; no picture, or one that could not be put there, is a note, never
// an error.
//
// With ReplayGain on (any format but WAV), the audio each encoder is given is
// measured as it goes, on a thread beside the encoder's; the track's gain and
// peak are set in its file's tags before the file takes its name. Once the tracks are done (not after a
// cancel) the album's gain and peak, measured over those tracks together, are
// added to each of their files, rewriting only the tags (a file that cannot
// take them gets an error line), and go out with UM_RIP_ALBUM_GAIN.
//
// Messages: UM_RIP_STARTED, UM_RIP_TOTAL_RANGE, UM_RIP_TRACK_STARTED,
// UM_RIP_TRACK_RANGE, UM_RIP_PROGRESS and UM_RIP_FINISHED are posted;
// UM_RIP_QUERY_CANCEL (before every track and every chunk, and between the
// reads of the gap search), UM_RIP_ERROR,
// UM_RIP_TRACK_DONE (after every track the job did not cancel),
// UM_RIP_ACCURACY, UM_RIP_COVER, UM_RIP_ALBUM_GAIN, UM_RIP_READ_OFFSET (before
// the first track) and
// UM_RIP_NOTE (lines that are not errors) are sent; UM_RIP_STEP is posted
// around a search for the read offset. Positions and ranges are bytes of CD audio.
class RipWorker {
public:
    explicit RipWorker(RipWorkerSetup setup);
    ~RipWorker();

    // Runs the job and answers what it reported: canceled when the sink
    // confirmed the cancel, completed with errors when it sent an error line,
    // else success.
    RipResult Run();

private:
    struct Track;
    struct Pass;
    void ReadSubchannel();
    bool Deemphasises(std::uint32_t trackIndex) const;
    void SettleReadOffset(AccuracyCheck& accuracy);
    void RipTrack(std::uint32_t trackIndex);
    std::unique_ptr<Encoder> MakeEncoder(const std::string& path, std::uint32_t trackIndex);
    Pass ReadPass(Track& track, std::uint32_t trackIndex, Encoder* encoder);
    void VerifyCopy(Track& track, std::uint32_t trackIndex);
    bool MeasuresLoudness() const;
    void FinishFile(Encoder& encoder, PartialFile& file, Pass& pass, TrackOutcome& outcome);
    void TagAlbum();
    void ReportFailure(Track& track, const std::string& message);
    void SendErrorLine(const std::string& line);
    void SendTrackLine(const std::string& path, const std::string& message);
    void SendNote(const std::string& line);
    AccuracyOutcome ReportAccuracy(AccuracyCheck& accuracy);
    std::optional<CoverOutcome> ReportCover();
    void WriteRecords(const std::optional<AccuracyOutcome>& verdicts, const std::optional<CoverOutcome>& cover);
    bool AskCancel();
    std::string PathOfItsOwn(const std::string& path);
    void PrepareFolder(const std::string& path);

    RipWorkerSetup setup_;
    std::string folder_;  // OutputFolder with a trailing slash
    std::int64_t jobPosition_ = 0;
    std::int64_t jobRange_ = 0;  // grows with every extra read
    bool canceled_ = false;
    bool reportedErrors_ = false;
    std::set<std::string> chosenPaths_;    // output paths given to this job's tracks
    std::set<std::string> cleanedFolders_;  // folders cleared of stale temporary files
    std::vector<TrackOutcome> outcomes_;    // of the tracks done so far
    TrackOutcome* current_ = nullptr;       // of the track being ripped
    AccuracyCheck* accuracy_ = nullptr;     // while the tracks are ripped
    std::shared_ptr<CoverArtFetch> cover_;  // shared with the encoders that ask for it
    ReadOffset readOffset_;                 // what the tracks are read with
    ReadOffsetUsed offsetUsed_;             // and where it came from
    DiscSubcode subcode_;                   // what the disc's sub-channel says
    // The loudness of each track whose file landed, for the album's gain.
    std::vector<std::pair<std::uint32_t, std::unique_ptr<ReplayGainMeter>>> loudness_;
    std::optional<AlbumGainOutcome> albumGain_;
    std::unique_ptr<ReplayGainMeterThread> meterThread_;  // while the tracks are ripped, with ReplayGain on
};

}  // namespace tesslow
