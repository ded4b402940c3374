#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tesslow {

namespace fs = std::filesystem;

namespace {

// An XDG variable counts only when it holds an absolute path.
fs::path AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value && value[0] == '/') return value;
    return {};
}

// Parses one `XDG_xxx_DIR="$HOME/..."` line of user-dirs.dirs.
fs::path ParseUserDirValue(const std::string& value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return {};
    std::string path = value.substr(1, value.size() - 2);
    std::string unescaped;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' && i + 1 < path.size()) ++i;
        unescaped += path[i];
    }
    if (unescaped.rfind("$HOME", 0) == 0) return HomeFolder().string() + unescaped.substr(5);
    if (!unescaped.empty() && unescaped.front() == '/') return unescaped;
    return {};
}

}  // namespace

fs::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

fs::path ConfigHome()
{
    fs::path path = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    return path.empty() ? HomeFolder() / ".config" : path;
}

std::vector<fs::path> ConfigDirs()
{
    std::vector<fs::path> dirs;
    if (const char* value = std::getenv("XDG_CONFIG_DIRS"); value && *value) {
        std::string list = value;
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t end = std::min(list.find(':', start), list.size());
            const std::string item = list.substr(start, end - start);
            if (!item.empty() && item.front() == '/') dirs.emplace_back(item);
            start = end + 1;
        }
    }
    if (dirs.empty()) dirs.emplace_back("/etc/xdg");
    return dirs;
}

fs::path DataHome()
{
    fs::path path = AbsoluteFromEnvironment("XDG_DATA_HOME");
    return path.empty() ? HomeFolder() / ".local" / "share" : path;
}

fs::path MusicFolder()
{
    std::ifstream in(ConfigHome() / "user-dirs.dirs");
    std::string line;
    fs::path found;
    while (std::getline(in, line)) {
        const std::string key = "XDG_MUSIC_DIR=";
        if (line.rfind(key, 0) == 0) found = ParseUserDirValue(line.substr(key.size()));
    }
    return found.empty() ? HomeFolder() / "Music" : found;
}

fs::path ExecutableFolder()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path(error) : exe.parent_path();
}

fs::path InstallPrefix() { return ExecutableFolder().parent_path(); }

}  // namespace tesslow
