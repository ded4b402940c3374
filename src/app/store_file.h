#pragma once

#include "app/reg_document.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace tesslow {

inline constexpr const char* kUserParentKey = "HKEY_CURRENT_USER\\Software\\Corvalen";
inline constexpr const char* kUserKey = "HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow";
inline constexpr const char* kMachineKey = "HKEY_LOCAL_MACHINE\\Software\\Corvalen\\tesslow";

// One typed settings store file.
//
// Read never fails: a missing, unreadable or corrupt file reads as the values
// that could be read (possibly none). Update is a read-modify-write cycle under
// an advisory lock on a companion ".lock" file, so two processes changing
// different values at the same moment both keep their change, and the file is
// replaced atomically, so no reader ever sees it half-written.
class StoreFile {
public:
    explicit StoreFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }

    RegDocument Read() const;

    // Applies `change` to the current contents and writes the result. Creates
    // the folder when missing. False when the file cannot be written.
    bool Update(const std::function<void(RegDocument&)>& change) const;

private:
    std::filesystem::path path_;
};

// $XDG_CONFIG_HOME/Corvalen/tesslow/user.reg
std::filesystem::path UserStorePath();

// The first Corvalen/tesslow/machine.reg found in $XDG_CONFIG_DIRS, then under
// the installation prefix's etc/xdg (which is also where the build tree keeps
// its own). Nothing when there is none.
std::optional<std::filesystem::path> MachineStorePath();

}  // namespace tesslow
