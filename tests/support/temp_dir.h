#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tesslow::test {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it on
// destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Sets an environment variable (or unsets it for nullptr) and restores the old
// value on destruction.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    bool hadValue_ = false;
    std::string oldValue_;
};

// A home of its own for one test: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_CONFIG_DIRS point into a temporary folder, so nothing touches the real
// user's files. The build tree's machine store stays reachable through the
// installation prefix.
class UserSandbox {
public:
    UserSandbox();

    const std::filesystem::path& Root() const { return dir_.Path(); }
    std::filesystem::path Home() const { return dir_.Path() / "home"; }
    std::filesystem::path ConfigHome() const { return Home() / ".config"; }
    std::filesystem::path DataHome() const { return Home() / ".local" / "share"; }
    std::filesystem::path ConfigDirs() const { return dir_.Path() / "xdg"; }
    std::filesystem::path UserStore() const { return ConfigHome() / "Corvalen" / "tesslow" / "user.reg"; }

private:
    TempDir dir_;
    ScopedEnv home_, config_, data_, dirs_, accurateRip_, coverArt_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

// The names in `folder`, hidden ones included, sorted; none when it does not exist.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

}  // namespace tesslow::test
