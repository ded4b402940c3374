#include "cli/terminal_progress.h"

#include "cli/printable.h"
#include "metadata/naming.h"
#include "platform/format.h"
#include "platform/messages.h"

namespace tesslow {

namespace {

constexpr const char* kFindingOffset = "Finding the drive's read offset...";
constexpr const char* kReadingSubchannel = "Reading the disc's gaps and codes...";

std::string Bar(std::int64_t position, std::int64_t range, int width)
{
    const double share = range > 0 ? std::min(1.0, static_cast<double>(position) / static_cast<double>(range)) : 0.0;
    const int filled = static_cast<int>(share * width);
    return "[" + std::string(filled, '#') + std::string(width - filled, '.') + "] " +
           Format("%3d%%", static_cast<int>(share * 100));
}

}  // namespace

void TerminalProgress::OnRipMessage(const Message& message, const RipMonitor& monitor)
{
    if (message.id == UM_RIP_ERROR && !monitor.ErrorLines().empty()) {
        terminal_.PrintLine("error: " + Printable(monitor.ErrorLines().back()));
    } else if (message.id == UM_RIP_NOTE && !monitor.NoteLines().empty()) {
        terminal_.PrintLine("note: " + Printable(monitor.NoteLines().back()));
    } else if (message.id == UM_RIP_STEP && monitor.Step() == RipStep::FindingReadOffset && !terminal_.interactive) {
        terminal_.PrintLine(kFindingOffset);
    } else if (message.id == UM_RIP_TRACK_STARTED && !terminal_.interactive) {
        terminal_.PrintLine("Ripping " + Printable(TrackStatusText(disc_, monitor)));
    }
}

void TerminalProgress::OnRipTick(const RipMonitor& monitor)
{
    if (!terminal_.interactive || !monitor.Started()) return;
    std::unique_lock guard(terminal_.lock, std::try_to_lock);
    if (!guard) return;  // a question owns the screen
    const auto track = monitor.CurrentTrack();
    const std::string status = monitor.CancelConfirmed()                     ? "Canceling..."
                               : monitor.Step() == RipStep::FindingReadOffset ? kFindingOffset
                               : monitor.Step() == RipStep::ReadingSubchannel ? kReadingSubchannel
                               : track ? Printable(TrackStatusText(disc_, monitor))
                                       : "Starting...";
    const std::string jobLine = "Job   " + Bar(monitor.JobPosition(), monitor.JobRange(), 30) + "  " +
                                monitor.Clock().ElapsedText() + "  " + monitor.Clock().LeftText();
    const std::string trackLine = "Track " + Bar(monitor.TrackPosition(), monitor.TrackRange(), 30) + "  " + status;
    std::FILE* out = terminal_.out;
    if (terminal_.barsShown) std::fputs("\r\x1b[1A", out);
    std::fprintf(out, "\r\x1b[2K%s\n\x1b[2K%s", jobLine.c_str(), trackLine.c_str());
    std::fflush(out);
    terminal_.barsShown = true;
}

void TerminalProgress::Done()
{
    std::lock_guard guard(terminal_.lock);
    if (terminal_.barsShown) {
        std::fputs("\n", terminal_.out);
        terminal_.barsShown = false;
    }
}

}  // namespace tesslow
