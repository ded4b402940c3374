#include "support/private_mount.h"

#include "support/temp_dir.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tesslow::test {

namespace {
constexpr int kNoNamespace = 77;
}

std::optional<int> WithPrivateTmpfs(const std::filesystem::path& at, const std::string& options, unsigned long flags,
                                    const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) ::_exit(kNoNamespace);
        WriteFile("/proc/self/setgroups", "deny");
        WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        if (::mount("none", at.c_str(), "tmpfs", flags, options.c_str()) != 0) ::_exit(kNoNamespace);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == kNoNamespace)
        return std::nullopt;
    return WEXITSTATUS(status);
}

}  // namespace tesslow::test
