#include "app/error_message.h"
#include "app/installation_check.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/disc_access.h"
#include "cli/tesslow_rip.h"
#include "cli/terminal.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_question.h"
#include "encoding/overwrite.h"
#include "encoding/presets.h"
#include "metadata/naming.h"
#include "platform/message_queue.h"
#include "platform/utf.h"
#include "platform/worker_thread.h"
#include "ripper/cancel_answering_sink.h"
#include "ripper/rip_monitor.h"
#include "ripper/rip_worker.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tesslow {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kWorkerStopLimit = std::chrono::milliseconds(5000);

std::uint64_t NowMs()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

// Fills the job from the settings, with the command line's choices on top.
// Returns an error text for a choice that does not fit the disc or the format.
std::string FillJob(const CliOptions& options, const Settings& settings, const DiscRecord& disc, RipJob& job)
{
    job.format = options.format.value_or(static_cast<FormatCode>(settings.LastFormat));
    if (!FindFormat(job.format)) job.format = FormatCode::Mp3;  // a stored code we do not know
    job.preset = static_cast<QualityPreset>(settings.LastPreset);
    if (settings.LastPreset > 3) job.preset = QualityPreset::Medium;
    std::uint32_t step = job.format == FormatCode::Mp3   ? settings.LastMP3Value
                         : job.format == FormatCode::Wma ? settings.LastWMAValue
                                                         : settings.LastOGGValue;
    if (options.quality) {
        job.preset = options.quality->preset;
        if (job.preset == QualityPreset::Custom) {
            const auto named = StepForKbps(job.format, options.quality->customKbps);
            if (!named) return "custom:" + std::to_string(options.quality->customKbps) + " is not a step of this format";
            step = static_cast<std::uint32_t>(named->index);
        }
    }
    if (const auto chosen = StepAt(job.format, step)) {
        job.qualityStep = chosen->index;
        job.qualityValue = chosen->value;
    }

    job.SelectedTracks.clear();
    if (options.tracks.empty()) {
        for (std::uint32_t t = 0; t < disc.tracks.size(); ++t) job.SelectedTracks.push_back(t);
    } else {
        for (std::uint32_t position : options.tracks) {
            if (position > disc.tracks.size())
                return "the disc has no track " + std::to_string(position) + " (it has " +
                       std::to_string(disc.tracks.size()) + ")";
            job.SelectedTracks.push_back(position - 1);
        }
    }

    job.NameTemplate = options.nameTemplate.value_or(settings.NameTemplate);
    job.AlwaysOverwrite = options.overwrite || settings.AlwaysOverwrite != 0;
    const SubfolderChoice subfolders{options.artistFolder || settings.CreateArtistSubfolder != 0,
                                     options.albumFolder || settings.CreateAlbumSubfolder != 0,
                                     options.yearInAlbumFolder || settings.AddYearToFolderName != 0};
    job.OutputFolder = ComposeOutputFolder(options.output.value_or(settings.LastFolder), subfolders, disc);
    return {};
}

}  // namespace

int RunRipCommand(const CliOptions& options)
{
    try {
        InstallationCheck();
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitFailure;
    }
    const Settings settings;
    DiscRecords records;
    RipJob job;
    const FoundDisc found = FindAudioDisc(options, records, job);
    if (!found.driveKey) return found.exitCode;
    const TitleLookupResult naming = NameDisc(options, records, *found.driveKey, settings.HomeURL);
    DiscRecord& disc = records[*found.driveKey];

    if (const std::string problem = FillJob(options, settings, disc, job); !problem.empty()) {
        std::fprintf(stderr, "tesslow-rip: %s\n", problem.c_str());
        return kExitUsage;
    }

    Terminal terminal;
    terminal.interactive = IsInteractive(terminal.out);
    CatchInterrupt(terminal);
    if (naming.titlesFrom != TitlesFrom::None)
        terminal.PrintLine("Disc: " + DisplayUtf8(disc.album.artist) + " \xE2\x80\x94 " + DisplayUtf8(disc.album.album) +
                           " (titles from the " + (naming.titlesFrom == TitlesFrom::Cache ? "title cache" : "web service") + ")");
    else
        terminal.PrintLine("Disc: no titles found");
    terminal.PrintLine("Ripping " + std::to_string(job.SelectedTracks.size()) + " track(s) as " +
                       FindFormat(job.format)->summaryName + " into " + job.OutputFolder);

    MessageQueue queue;
    RipMonitor monitor;
    TerminalProgress progress(terminal, disc);
    TerminalOverwriteQuestion question(terminal);
    OverwritePolicy overwrite;
    RipSettings ripSettings = RipSettings::From(settings);
    if (options.paranoia) ripSettings.jitterCorrection = *options.paranoia;
    ripSettings.ejectWhenDone = ripSettings.ejectWhenDone || options.eject;
    ripSettings.openFolderWhenDone = false;  // a terminal program does not pop up a file manager
    CancelAnsweringSink sink(queue, monitor.CancelFlag());
    job.progressSink = &sink;

    RipWorkerSetup setup;
    setup.job = &job;
    setup.disc = &disc;
    setup.settings = ripSettings;
    setup.sink = &sink;
    setup.overwrite = &overwrite;
    setup.question = &question;
    WorkerThread worker([&setup] { RipWorker(setup).Run(); });

    auto nextTick = Clock::now() + std::chrono::milliseconds(RipClock::kTickMs);
    std::optional<Clock::time_point> cancelDeadline;
    while (!monitor.Finished()) {
        queue.Dispatch(
            [&](const Message& message) {
                const std::intptr_t answer = monitor.Handle(message, NowMs());
                progress.OnMessage(message, monitor);
                return answer;
            },
            std::chrono::milliseconds(50));
        if (terminal.interrupted && !monitor.CancelConfirmed()) {
            monitor.ConfirmCancel();
            cancelDeadline = Clock::now() + kWorkerStopLimit;
            if (!terminal.interactive) terminal.PrintLine("Canceling...");
        }
        if (Clock::now() >= nextTick) {
            monitor.Tick(NowMs());
            progress.Draw(monitor);
            nextTick += std::chrono::milliseconds(RipClock::kTickMs);
        }
        if (cancelDeadline && Clock::now() >= *cancelDeadline) break;  // the worker does not stop
    }
    progress.Draw(monitor);
    progress.Done();
    queue.Close();

    const bool workerEnded = worker.WaitFor(kWorkerStopLimit);
    const RipResult result = monitor.Result();
    std::printf("%s\n", result == RipResult::Success    ? "Done: every track was ripped."
                        : result == RipResult::Canceled ? "Canceled."
                                                        : "Done, with errors:");
    if (result != RipResult::Success)
        for (const std::string& line : monitor.ErrorLines()) std::printf("  %s\n", line.c_str());
    std::fflush(stdout);
    std::fflush(stderr);
    // A worker that did not stop still uses this function's objects: end the
    // process without unwinding them.
    if (!workerEnded) std::_Exit(static_cast<int>(result));
    return static_cast<int>(result);
}

}  // namespace tesslow
