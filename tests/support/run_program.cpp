#include "support/run_program.h"

#include "support/temp_dir.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace tesslow::test {

RunningProgram::RunningProgram(const std::string& name, const std::vector<std::string>& args,
                               const std::vector<std::string>& extraEnv)
{
    std::string pattern = "/tmp/tesslow-program-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    scratch_ = pattern;
    const std::string program = name.front() == '/' ? name : std::string(TESSLOW_BIN_DIR) + "/" + name;
    const std::string outPath = scratch_ + "/out", errPath = scratch_ + "/err";

    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);

    // extraEnv replaces inherited variables of the same name.
    std::vector<std::string> envStrings = extraEnv;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string variable = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const auto& extra : extraEnv) replaced = replaced || extra.rfind(variable, 0) == 0;
        if (!replaced) envStrings.push_back(entry);
    }
    std::vector<char*> envp;
    for (auto& entry : envStrings) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program);
    pid_ = pid;
}

RunningProgram::~RunningProgram()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        (void)Wait();
    }
    std::error_code error;
    std::filesystem::remove_all(scratch_, error);
}

void RunningProgram::Signal(int signal)
{
    if (pid_ > 0) ::kill(pid_, signal);
}

ProgramResult RunningProgram::Wait()
{
    ProgramResult result;
    if (pid_ <= 0) return result;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
    }
    pid_ = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(scratch_ + "/out");
    result.err = ReadFile(scratch_ + "/err");
    return result;
}

ProgramResult RunProgram(const std::string& name, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv)
{
    return RunningProgram(name, args, extraEnv).Wait();
}

}  // namespace tesslow::test
