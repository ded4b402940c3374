#pragma once

#include <filesystem>
#include <optional>

namespace tesslow {

inline constexpr const char* kNotInstalledMessage =
    "Tesslow is not properly installed.\n\nPlease, reinstall Tesslow. If problem persists, contact Corvalen "
    "support.";

// Verifies that installation wrote the machine store with the AppPath, HomeURL
// and MailURL strings. Throws std::runtime_error(kNotInstalledMessage) when the
// store or its key is missing or any of the three fails the string rule.
void InstallationCheck();

// The same check on a given machine store (nothing: no store was found).
void CheckMachineStore(const std::optional<std::filesystem::path>& machineStore);

}  // namespace tesslow
