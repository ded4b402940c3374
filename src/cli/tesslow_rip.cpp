#include "cli/tesslow_rip.h"

#include "cli/commands.h"
#include "cli/options.h"
#include "tesslow_version.h"

#include <cstdio>

namespace tesslow {

int RunTesslowRip(int argc, char** argv)
{
    CliOptions options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tesslow-rip: %s\n\n%s", error.what(), kUsageText);
        return kExitUsage;
    }
    switch (options.command) {
    case CliCommand::Version:
        std::printf("tesslow-rip %s\n", kVersion);
        return kExitOk;
    case CliCommand::Help:
        std::fputs(kUsageText, stdout);
        return kExitOk;
    case CliCommand::Settings:
        return RunSettingsCommand(options);
    case CliCommand::CheckInstallation:
        return RunCheckInstallationCommand(options);
    case CliCommand::Info:
        return RunInfoCommand(options);
    case CliCommand::Play:
        return RunPlayCommand(options);
    case CliCommand::FindOffset:
        return RunFindOffsetCommand(options);
    case CliCommand::Rip:
        return RunRipCommand(options);
    }
    return kExitUsage;
}

}  // namespace tesslow
