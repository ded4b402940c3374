#pragma once

#include "support/run_program.h"

#include <string>
#include <vector>

namespace tesslow::test {

// Runs a command found on PATH (or named by an absolute path) with its
// arguments, stdin from /dev/null, and collects its exit code and output.
// Throws std::runtime_error when the command cannot be found or started.
ProgramResult RunCommand(const std::string& command, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv = {});

// The same with the command and its arguments in one list.
ProgramResult RunCommand(const std::vector<std::string>& commandAndArgs);

// The command's full path on PATH; empty when there is none.
std::string FindCommand(const std::string& command);

}  // namespace tesslow::test
