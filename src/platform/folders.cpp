#include "platform/folders.h"

#include <sys/stat.h>

#include <cerrno>

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

}  // namespace tesslow
