#pragma once

#include "cli/terminal.h"
#include "encoding/overwrite.h"

#include <memory>

namespace tesslow {

// Asks on the terminal whether an existing file may be replaced: yes, no, yes
// to all, no to all. Without a terminal, or when the user interrupts, it
// cannot ask, and the file is skipped. Runs on the rip worker's thread and owns
// the screen while it asks; it shares the terminal, since a worker that has
// been abandoned may still ask.
class TerminalOverwriteQuestion final : public OverwriteQuestion {
public:
    explicit TerminalOverwriteQuestion(std::shared_ptr<Terminal> terminal) : terminal_(std::move(terminal)) {}
    Reply Ask(const std::string& path) override;

private:
    std::shared_ptr<Terminal> terminal_;
};

}  // namespace tesslow
