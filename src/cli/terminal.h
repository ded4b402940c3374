#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

namespace tesslow {

// The terminal shared by the progress display (main thread) and the overwrite
// question (rip worker's thread): whoever holds `lock` owns the screen.
struct Terminal {
    std::FILE* out = stderr;
    bool interactive = false;  // a terminal on both ends: draw bars, ask questions
    std::mutex lock;
    bool barsShown = false;    // the two progress lines are on screen
    std::atomic<bool> interrupted{false};  // Ctrl-C seen

    // Removes the progress lines so that text can be printed; call with lock held.
    void ClearBars();
    // Prints one line above the progress display.
    void PrintLine(const std::string& line);
};

// True when stdin and `out` are terminals.
bool IsInteractive(std::FILE* out);

// Routes Ctrl-C to terminal.interrupted; a second Ctrl-C ends the program at once.
void CatchInterrupt(Terminal& terminal);

}  // namespace tesslow
