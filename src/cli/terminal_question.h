#pragma once

#include "cli/terminal.h"
#include "encoding/overwrite.h"

namespace tesslow {

// Asks on the terminal whether an existing file may be replaced: yes, no, yes
// to all, no to all. Without a terminal, or when the user interrupts, it
// cannot ask, and the file is skipped. Runs on the rip worker's thread and owns
// the screen while it asks.
class TerminalOverwriteQuestion final : public OverwriteQuestion {
public:
    explicit TerminalOverwriteQuestion(Terminal& terminal) : terminal_(terminal) {}
    Reply Ask(const std::string& path) override;

private:
    Terminal& terminal_;
};

}  // namespace tesslow
