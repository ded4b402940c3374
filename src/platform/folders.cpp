#include "platform/folders.h"

#include "platform/system_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace tesslow {

namespace {

bool IsFolder(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int MakeDirectoryPath(const std::string& path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty() || IsFolder(folder)) return 0;
    // Walk down from the outermost component, creating what is missing.
    std::size_t end = folder.front() == '/' ? 1 : 0;
    while (end != std::string::npos) {
        end = folder.find('/', end + 1);
        const std::string prefix = folder.substr(0, end);
        if (prefix.empty() || prefix.back() == '/' || IsFolder(prefix)) continue;
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return errno;
        if (!IsFolder(prefix)) return ENOTDIR;
    }
    return 0;
}

int EnsureParentDirectory(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return 0;
    return MakeDirectoryPath(path.substr(0, slash));
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderProblem(const std::string& folder)
{
    if (folder.empty()) return "no folder is given";
    // The nearest folder that exists must be a folder we can write into; the
    // rest is made by the rip.
    std::filesystem::path existing = std::filesystem::absolute(folder);
    std::error_code error;
    while (!std::filesystem::exists(existing, error) && existing.has_parent_path() && existing != existing.parent_path()) {
        existing = existing.parent_path();
    }
    if (!std::filesystem::is_directory(existing, error)) return existing.string() + " is not a folder";
    const std::string probe = (existing / ".tesslow-write-probe").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return existing.string() + ": " + SystemErrorText(errno);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
    }
    return {};
}

}  // namespace tesslow
