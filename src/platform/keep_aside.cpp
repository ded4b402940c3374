#include "platform/keep_aside.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tesslow {

namespace {

// rename without replacing an existing target; where the file system cannot
// do that in one step, a hard link and an unlink do the same.
bool MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    return ::unlink(from.c_str()) == 0;
}

}  // namespace

std::optional<std::filesystem::path> KeepAside(const std::filesystem::path& file)
{
    const std::string base = file.string() + ".unreadable";
    for (int number = 1; number < 1000; ++number) {
        const std::filesystem::path target = number == 1 ? base : base + "." + std::to_string(number);
        if (MoveWithoutReplacing(file, target)) return target;
        if (errno != EEXIST) return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

}  // namespace tesslow
