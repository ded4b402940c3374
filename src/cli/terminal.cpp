#include "cli/terminal.h"

#include <signal.h>
#include <unistd.h>

namespace tesslow {

namespace {
std::atomic<bool>* interruptFlag = nullptr;

void OnInterrupt(int)
{
    if (interruptFlag) interruptFlag->store(true);
    ::signal(SIGINT, SIG_DFL);
}
}  // namespace

void Terminal::ClearBars()
{
    if (!barsShown) return;
    std::fputs("\r\x1b[2K\x1b[1A\x1b[2K", out);
    barsShown = false;
}

void Terminal::PrintLine(const std::string& line)
{
    std::lock_guard guard(lock);
    ClearBars();
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
}

bool IsInteractive(std::FILE* out) { return ::isatty(STDIN_FILENO) && ::isatty(::fileno(out)); }

void CatchInterrupt(Terminal& terminal)
{
    interruptFlag = &terminal.interrupted;
    struct sigaction action{};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace tesslow
