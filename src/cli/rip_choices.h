#pragma once

#include "cli/options.h"
#include "ripper/rip_plan.h"

namespace tesslow {

// The command line's choices for a rip; what it leaves out comes from the
// settings. A flag given turns its setting on for this rip; none turns one
// off. Any thread.
RipChoices RipChoicesFrom(const CliOptions& options);

}  // namespace tesslow
