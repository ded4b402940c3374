#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tesslow::test {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tesslow-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
    path_ = name.data();
}

TempDir::~TempDir()
{
    std::error_code error;
    // Tests may leave read-only files or folders behind; make them removable.
    for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

ScopedEnv::ScopedEnv(std::string name, const char* value) : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str())) {
        hadValue_ = true;
        oldValue_ = old;
    }
    if (value)
        ::setenv(name_.c_str(), value, 1);
    else
        ::unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv()
{
    if (hadValue_)
        ::setenv(name_.c_str(), oldValue_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

UserSandbox::UserSandbox()
    : home_("HOME", (dir_.Path() / "home").c_str()),
      config_("XDG_CONFIG_HOME", (dir_.Path() / "home" / ".config").c_str()),
      data_("XDG_DATA_HOME", (dir_.Path() / "home" / ".local" / "share").c_str()),
      dirs_("XDG_CONFIG_DIRS", (dir_.Path() / "xdg").c_str()),
      // The AccurateRip database is never asked from a test: a test that
      // wants it points this at a server of its own.
      accurateRip_("TESSLOW_ACCURATERIP_URL", "http://127.0.0.1:9"),
      // Nor is the Cover Art Archive.
      coverArt_("TESSLOW_COVERART_URL", "http://127.0.0.1:9")
{
    fs::create_directories(Home());
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    if (std::filesystem::exists(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tesslow::test
