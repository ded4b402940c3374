#include "app/installation_check.h"

#include "app/store_file.h"

#include <stdexcept>

namespace tesslow {

void InstallationCheck() { CheckMachineStore(MachineStorePath()); }

void CheckMachineStore(const std::optional<std::filesystem::path>& path)
{
    if (!path) throw std::runtime_error(kNotInstalledMessage);
    const RegDocument machine = StoreFile(*path).Read().document;
    const RegKey* key = machine.FindKey(kMachineKey);
    if (!key) throw std::runtime_error(kNotInstalledMessage);
    for (const char* name : {"AppPath", "HomeURL", "MailURL"})
        if (!ReadString(key->Find(name))) throw std::runtime_error(kNotInstalledMessage);
}

}  // namespace tesslow
