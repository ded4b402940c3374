#include "cli/tesslow_rip.h"

#include "app/error_message.h"
#include "app/installation_check.h"
#include "app/settings.h"
#include "tesslow_version.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace tesslow {

namespace {

constexpr const char* kUsage =
    "Usage: tesslow-rip [COMMAND]\n"
    "\n"
    "Commands:\n"
    "  --settings             print the loaded settings, one Name=value per line\n"
    "  --check-installation   verify that the program is properly installed\n"
    "  --version              print the version\n"
    "  --help                 show this help\n";

void PrintSettings()
{
    const Settings settings;
    for (const SettingField& field : SettingsTable()) {
        if (field.number)
            std::printf("%s=%u\n", field.name, settings.*field.number);
        else
            std::printf("%s=%s\n", field.name, (settings.*field.text).c_str());
    }
}

int CheckInstallation()
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

}  // namespace

int RunTesslowRip(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs(kUsage, argc < 2 ? stdout : stderr);
        return argc < 2 ? kExitOk : kExitUsage;
    }
    const std::string_view command = argv[1];
    if (command == "--version") {
        std::printf("tesslow-rip %s\n", kVersion);
        return kExitOk;
    }
    if (command == "--help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--settings") {
        PrintSettings();
        return kExitOk;
    }
    if (command == "--check-installation") return CheckInstallation();
    std::fprintf(stderr, "tesslow-rip: unknown option %s\n\n%s", argv[1], kUsage);
    return kExitUsage;
}

}  // namespace tesslow
