#include "platform/atomic_file.h"

#include "platform/fd_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace tesslow {

namespace fs = std::filesystem;

namespace {

void SyncFolder(const fs::path& folder)
{
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) (void)::fsync(dir.Get());
}

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view bytes)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd) return false;

    struct stat old{};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool written = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), bytes.data(), bytes.size()) &&
                         ::fsync(fd.Get()) == 0;
    const int closeResult = ::close(fd.Release());
    if (!written || closeResult != 0 || ::rename(name.data(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(name.data());
        errno = saved;
        return false;
    }
    SyncFolder(folder);
    return true;
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::size_t limit, bool* cut)
{
    if (cut) *cut = false;
    // Opening a named pipe without O_NONBLOCK waits for a writer.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) return std::nullopt;
    struct stat info{};
    if (::fstat(fd.Get(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ReadSome(fd.Get(), buffer, sizeof buffer);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        if (content.size() + static_cast<std::size_t>(n) > limit) {
            if (!cut) return std::nullopt;
            *cut = true;
            content.append(buffer, limit - content.size());
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return content;
}

FileLock::FileLock(const fs::path& lockPath)
    : fd_(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644))
{
    if (!fd_) return;
    while (::flock(fd_.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            fd_.Reset();
            return;
        }
    }
}

}  // namespace tesslow
