#include "app/error_message.h"
#include "app/installation_check.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/load_settings.h"
#include "cli/printable.h"
#include "cli/tesslow_rip.h"

#include <cstdio>

namespace tesslow {

int RunSettingsCommand(const CliOptions&)
{
    const Settings settings = LoadSettings();
    for (const SettingField& field : SettingsTable()) {
        if (field.number)
            std::printf("%s=%u\n", field.name, settings.*field.number);
        else
            std::printf("%s=%s\n", field.name, Printable(settings.*field.text).c_str());
    }
    return kExitOk;
}

int RunCheckInstallationCommand(const CliOptions&)
{
    int code = kExitOk;
    RunGuarded(
        [] {
            InstallationCheck();
            std::printf("Installation check: passed\n");
        },
        [&](const std::string& message) {
            std::fprintf(stderr, "%s\n", message.c_str());
            code = kExitFailure;
        });
    return code;
}

}  // namespace tesslow
