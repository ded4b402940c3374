#pragma once

#include "cli/options.h"

namespace tesslow {

// One function per command of tesslow-rip; each returns the exit code.
int RunSettingsCommand(const CliOptions& options);
int RunCheckInstallationCommand(const CliOptions& options);
int RunInfoCommand(const CliOptions& options);
int RunRipCommand(const CliOptions& options);
int RunPlayCommand(const CliOptions& options);
int RunFindOffsetCommand(const CliOptions& options);

}  // namespace tesslow
