#include "platform/desktop_shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace tesslow {

namespace {

void StartDetached(const std::string& target)
{
    std::string program = "xdg-open", argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid;
    if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return;
    // Reap it whenever it ends, so no zombie stays behind.
    std::thread([pid] {
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

void XdgDesktopShell::Open(const std::string& target) { StartDetached(target); }

void XdgDesktopShell::Explore(const std::string& folder) { StartDetached(folder); }

}  // namespace tesslow
