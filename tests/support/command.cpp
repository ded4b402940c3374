#include "support/command.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace tesslow::test {

std::string FindCommand(const std::string& command)
{
    if (command.find('/') != std::string::npos) return ::access(command.c_str(), X_OK) == 0 ? command : "";
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/bin:/bin";
    while (!dirs.empty()) {
        const std::size_t end = dirs.find(':');
        std::string dir(dirs.substr(0, end));
        dirs = end == std::string_view::npos ? std::string_view() : dirs.substr(end + 1);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + command;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

ProgramResult RunCommand(const std::string& command, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv)
{
    const std::string program = FindCommand(command);
    if (program.empty()) throw std::runtime_error("command not found: " + command);
    return RunProgram(std::filesystem::absolute(program).string(), args, extraEnv);
}

ProgramResult RunCommand(const std::vector<std::string>& commandAndArgs)
{
    if (commandAndArgs.empty()) throw std::runtime_error("no command given");
    return RunCommand(commandAndArgs.front(), {commandAndArgs.begin() + 1, commandAndArgs.end()});
}

}  // namespace tesslow::test
