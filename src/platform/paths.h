#pragma once

#include <filesystem>
#include <vector>

namespace tesslow {

// Folders of the XDG base directory and user-dirs conventions, read from the
// environment at each call (so tests and sandboxes can move them).

std::filesystem::path HomeFolder();

// $XDG_CONFIG_HOME, default ~/.config.
std::filesystem::path ConfigHome();

// $XDG_CONFIG_DIRS in order, default /etc/xdg.
std::vector<std::filesystem::path> ConfigDirs();

// $XDG_DATA_HOME, default ~/.local/share.
std::filesystem::path DataHome();

// The user's music folder as `xdg-user-dir MUSIC` finds it: XDG_MUSIC_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs, default ~/Music. Not created here.
std::filesystem::path MusicFolder();

// The folder holding the running program, and the installation prefix above it
// (bin/.. for an installed program and for the build tree alike).
std::filesystem::path ExecutableFolder();
std::filesystem::path InstallPrefix();

}  // namespace tesslow
