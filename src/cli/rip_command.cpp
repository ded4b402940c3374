#include "app/installation_check.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/disc_access.h"
#include "cli/load_settings.h"
#include "cli/printable.h"
#include "cli/rip_choices.h"
#include "cli/rip_report_output.h"
#include "cli/tesslow_rip.h"
#include "cli/terminal.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_question.h"
#include "encoding/overwrite.h"
#include "encoding/presets.h"
#include "metadata/cover_cache.h"
#include "platform/folders.h"
#include "platform/utf.h"
#include "ripper/rip_session.h"

#include <cstdio>

namespace tesslow {

namespace {

std::string TitlesLine(const TitleLookupResult& naming, const AlbumInfo& album)
{
    if (naming.titlesFrom == TitlesFrom::None) return "Disc: no titles found";
    return "Disc: " + Printable(DisplayUtf8(album.artist)) + " \xE2\x80\x94 " + Printable(DisplayUtf8(album.album)) +
           " (titles from the " +
           (naming.titlesFrom == TitlesFrom::Cache    ? "title cache"
            : naming.titlesFrom == TitlesFrom::User   ? "title cache, as you named them"
            : naming.titlesFrom == TitlesFrom::CdText ? "disc's CD-Text"
                                                      : "web service") +
           ")";
}

}  // namespace

int RunRipCommand(const CliOptions& options)
{
    try {
        InstallationCheck();
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s\n", Printable(error.what()).c_str());
        return kExitFailure;
    }
    // A picture that cannot be a cover is refused before the disc is read.
    if (options.cover) {
        std::string why;
        if (!ReadCoverPictureFile(*options.cover, &why)) {
            std::fprintf(stderr, "tesslow-rip: the cover %s cannot be used (%s)\n", Printable(*options.cover).c_str(),
                         why.c_str());
            return kExitUsage;
        }
    }
    const Settings settings = LoadSettings();
    DiscRecords records;
    RipJob found;
    if (const FoundDisc disc = FindAudioDisc(options, records, found); !disc.driveKey) return disc.exitCode;
    const TitleLookupResult naming = NameDisc(options, records, found.driveKey, settings.HomeURL);
    const DiscRecord& disc = records[found.driveKey];

    RipPlan plan;
    try {
        plan = PlanRip(settings, RipChoicesFrom(options), found.driveKey, disc);
    } catch (const RipChoiceError& error) {
        std::fprintf(stderr, "tesslow-rip: %s\n", error.what());
        return kExitUsage;
    }
    // A folder that cannot take the files is refused before the first track.
    if (const std::string problem = FolderProblem(plan.job.OutputFolder); !problem.empty()) {
        std::fprintf(stderr, "tesslow-rip: the files cannot be saved in %s (%s)\n",
                     Printable(plan.job.OutputFolder).c_str(), problem.c_str());
        return kExitUsage;
    }
    plan.settings.readOffset.samples = options.offset;
    plan.settings.readOffset.overread = options.overread;
    plan.settings.verifyReads = options.verifyReads.value_or(plan.settings.verifyReads);
    if (options.noLog) plan.settings.writeLog = false;
    if (options.noCue) plan.settings.writeCue = false;
    plan.settings.detectGaps = options.gaps.value_or(true);
    plan.settings.deemphasis = options.deemphasis.value_or(plan.settings.deemphasis);
    if (options.cover) plan.settings.coverFile = *options.cover;
    if (options.noReplayGain) plan.settings.replayGain = false;
    const RipJob& job = plan.job;

    auto terminal = std::make_shared<Terminal>();
    terminal->interactive = IsInteractive(terminal->out);
    CatchInterrupt(*terminal);
    terminal->PrintLine(TitlesLine(naming, disc.album));
    if (const std::string releases = ReleasesLine(disc.album); !releases.empty()) terminal->PrintLine(releases);
    terminal->PrintLine("Ripping " + std::to_string(job.SelectedTracks.size()) + " track(s) as " +
                        FindFormat(job.format)->summaryName + " (" +
                        QualitySummary(job.format, job.preset, job.qualityStep) + ") into " + Printable(job.OutputFolder));

    TerminalProgress progress(*terminal, disc);
    RipWorkerSetup setup;
    setup.job = job;
    setup.disc = disc;
    setup.settings = plan.settings;
    setup.overwrite = std::make_shared<OverwritePolicy>();
    setup.question = std::make_shared<TerminalOverwriteQuestion>(terminal);
    // Ctrl-C cancels at once, also while the question is open.
    setup.cancelRequested = std::shared_ptr<const std::atomic<bool>>(terminal, &terminal->interrupted);
    RipSession session(std::move(setup), progress);
    session.Start();
    bool told = false;
    while (session.Pump(std::chrono::milliseconds(50))) {
        if (session.CancelConfirmed() && !told && !terminal->interactive) terminal->PrintLine("Canceling...");
        told = told || session.CancelConfirmed();
    }
    progress.OnRipTick(session.Monitor());
    progress.Done();


    const RipResult result = session.Result();
    if (options.json)
        std::fputs(RipReportJson(session.Monitor(), job.OutputFolder).c_str(), stdout);
    else
        std::fputs(RipReportText(session.Monitor(), disc).c_str(), stdout);
    return static_cast<int>(result);
}

}  // namespace tesslow
