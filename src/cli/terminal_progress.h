#pragma once

#include "app/disc_record.h"
#include "cli/terminal.h"
#include "platform/message_sink.h"
#include "ripper/rip_monitor.h"

namespace tesslow {

// Shows a rip on the terminal. Interactive: a job bar and a track bar with the
// track's name, elapsed time and time left, redrawn by Draw (called at most
// twice a second). Otherwise: one plain line per track and per error. Main
// thread only.
class TerminalProgress {
public:
    TerminalProgress(Terminal& terminal, const DiscRecord& disc) : terminal_(terminal), disc_(disc) {}

    // Called after the monitor has handled the message.
    void OnMessage(const Message& message, const RipMonitor& monitor);
    void Draw(const RipMonitor& monitor);
    void Done();

private:
    Terminal& terminal_;
    const DiscRecord& disc_;
};

}  // namespace tesslow
