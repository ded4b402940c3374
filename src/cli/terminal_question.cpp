#include "cli/terminal_question.h"

#include "cli/printable.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>

namespace tesslow {

namespace {

// Reads one line from stdin, giving up when the user interrupts or input ends.
bool ReadAnswer(const std::atomic<bool>& interrupted, std::string& line)
{
    line.clear();
    while (!interrupted) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, 200);
        if (ready <= 0) continue;
        char c;
        if (::read(STDIN_FILENO, &c, 1) != 1) return false;
        if (c == '\n') return true;
        line += c;
    }
    return false;
}

}  // namespace

OverwriteQuestion::Reply TerminalOverwriteQuestion::Ask(const std::string& path)
{
    if (!terminal_->interactive) return {Answer::CannotAsk, false};
    std::lock_guard guard(terminal_->lock);
    terminal_->ClearBars();
    std::FILE* out = terminal_->out;
    std::fprintf(out, "The target file already exists. Do you wish to overwrite?\n  %s\n", Printable(path).c_str());
    for (;;) {
        std::fputs("[y]es, [n]o, yes to [a]ll, no to all ([s]kip all): ", out);
        std::fflush(out);
        std::string line;
        if (!ReadAnswer(terminal_->interrupted, line)) {
            std::fputs("\n", out);
            return {Answer::CannotAsk, false};
        }
        const char choice = line.empty() ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        switch (choice) {
        case 'y': return {Answer::Overwrite, false};
        case 'n': return {Answer::Skip, false};
        case 'a': return {Answer::Overwrite, true};
        case 's': return {Answer::Skip, true};
        default: break;
        }
    }
}

}  // namespace tesslow
