#pragma once

#include "app/reg_document.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace tesslow {

inline constexpr const char* kUserParentKey = "HKEY_CURRENT_USER\\Software\\Corvalen";
inline constexpr const char* kUserKey = "HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow";
inline constexpr const char* kMachineKey = "HKEY_LOCAL_MACHINE\\Software\\Corvalen\\tesslow";

// What a store file holds.
struct StoreContents {
    RegDocument document;
    bool whole = true;  // false: the file is there but some or all of it could not be read
};

// What an update did.
struct StoreUpdate {
    bool written = false;
    // Where a store that could not be read whole was kept before the new one
    // was written (see KeepAside).
    std::optional<std::filesystem::path> keptAside;
};

// One typed settings store file, in the text format of registry exports,
// UTF-8 (with or without a byte-order mark) or UTF-16LE with its byte-order
// mark, as regedit writes its exports; it is written as UTF-8.
//
// Read never fails: a missing, unreadable or corrupt file reads as the values
// that could be read (possibly none). Update is a read-modify-write cycle under
// an advisory lock on a companion ".lock" file, so two processes changing
// different values at the same moment both keep their change, and the file is
// replaced atomically, so no reader ever sees it half-written. A file that
// could not be read whole is never written over: it is kept aside first, and
// the new file holds what could be read of it.
class StoreFile {
public:
    explicit StoreFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }

    StoreContents Read() const;

    // Applies `change` to the current contents and writes the result. Creates
    // the folder when missing. Not written when the file cannot be written,
    // or could not be read whole and cannot be kept aside.
    StoreUpdate Update(const std::function<void(RegDocument&)>& change) const;

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
