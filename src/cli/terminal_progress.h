#pragma once

#include "app/disc_record.h"
#include "cli/terminal.h"
#include "platform/message_sink.h"
#include "ripper/rip_monitor.h"
#include "ripper/rip_session.h"

namespace tesslow {

// Shows a rip on the terminal. Interactive: a job bar and a track bar with the
// track's name, elapsed time and time left, redrawn on every tick (twice a
// second). Otherwise: one plain line per track and per error. Main thread only.
class TerminalProgress final : public RipDisplay {
public:
    TerminalProgress(Terminal& terminal, const DiscRecord& disc) : terminal_(terminal), disc_(disc) {}

    void OnRipMessage(const Message& message, const RipMonitor& monitor) override;
    void OnRipTick(const RipMonitor& monitor) override;
    // Leaves the bars on screen, as they were last drawn.
    void Done();

private:
    Terminal& terminal_;
    const DiscRecord& disc_;
};

}  // namespace tesslow
