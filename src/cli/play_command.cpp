#include "app/disc_record.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/disc_access.h"
#include "cli/load_settings.h"
#include "cli/printable.h"
#include "cli/tesslow_rip.h"
#include "cli/terminal.h"
#include "metadata/track_titles.h"
#include "platform/format.h"
#include "platform/message_sink.h"
#include "platform/messages.h"
#include "platform/utf.h"
#include "platform/worker_thread.h"
#include "preview/ds_api_i.h"
#include "preview/playback_thread.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>

namespace tesslow {

namespace {

// Learns that the playback thread has ended.
class EndedSink final : public MessageSink {
public:
    void Post(std::uint32_t id, std::uintptr_t, std::intptr_t) override
    {
        if (id == UM_PLAYBACK_ENDED) ended = true;
    }
    std::intptr_t Send(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }

    std::atomic<bool> ended{false};
};

// Waits up to `milliseconds` for a line on standard input; true when Enter
// was pressed. Standard input that ends (/dev/null) is not watched any more.
bool EnterPressed(bool& watchInput, int milliseconds)
{
    if (!watchInput) {
        ::poll(nullptr, 0, milliseconds);
        return false;
    }
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, milliseconds) <= 0) return false;
    char bytes[256];
    const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
    if (n <= 0) {
        watchInput = false;
        return false;
    }
    return std::find(bytes, bytes + n, '\n') != bytes + n;
}

}  // namespace

int RunPlayCommand(const CliOptions& options)
{
    auto records = std::make_shared<DiscRecords>();
    RipJob job;
    const FoundDisc found = FindAudioDisc(options, *records, job);
    if (!found.driveKey) return found.exitCode;
    const std::size_t trackCount = (*records)[job.driveKey].tracks.size();
    if (options.playTrack == 0 || options.playTrack > trackCount) {
        std::fprintf(stderr, "tesslow-rip: the disc has no track %u (it has %zu).\n", options.playTrack, trackCount);
        return kExitUsage;
    }
    NameDisc(options, *records, job.driveKey, LoadSettings().HomeURL);
    const DiscRecord record = (*records)[job.driveKey];

    Terminal terminal;
    terminal.out = stdout;
    terminal.interactive = IsInteractive(stdout);
    CatchInterrupt(terminal);

    // Everything the playback thread touches is its own or shared with it.
    auto data = std::make_shared<PlaybackData>();
    data->position = record.tracks[options.playTrack - 1].start;
    auto sink = std::make_shared<EndedSink>();
    auto end = std::make_shared<PlaybackEnd>();
    const std::string driveKey = job.driveKey;
    const std::size_t track = options.playTrack - 1;
    WorkerThread thread([=] { *end = RunPlayback(*data, *records, driveKey, track, *sink); });

    bool watchInput = true;
    bool enter = false;  // the terminal has echoed the Enter: the line is ended
    auto lastLabel = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    while (!sink->ended) {
        if (std::chrono::steady_clock::now() - lastLabel >= std::chrono::seconds(1)) {
            lastLabel = std::chrono::steady_clock::now();
            const std::string label =
                Format("Playing %1%", Printable(DisplayUtf8(TitleAtDiscPosition(record, data->position))));
            if (terminal.interactive) std::fprintf(stdout, "\r\x1b[2K%s", label.c_str());
            else std::fprintf(stdout, "%s\n", label.c_str());
            std::fflush(stdout);
        }
        if (EnterPressed(watchInput, 100)) enter = true;
        if (enter || terminal.interrupted) data->stop = true;
    }
    thread.Join();
    if (terminal.interactive && !enter) std::fputs("\n", stdout);
    // The fade-out plays to its end before the program exits.
    ProcessSoundDevice().release(true);

    if (end->soundMissing) {
        std::fprintf(stderr, "tesslow-rip: no sound output is available.\n");
        return kExitFailure;
    }
    if (!end->error.empty()) {
        std::fprintf(stderr, "tesslow-rip: %s\n", end->error.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace tesslow
