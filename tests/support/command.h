#pragma once

#include "support/run_program.h"

#include <string>
#include <vector>

namespace tesslow::test {

// Runs any command found on PATH (or given by path) with its arguments, stdin
// from /dev/null, and collects its output and exit code. Used to let
// independent programs (decoders, tag readers) judge the files the program
// writes. Throws std::runtime_error when the command cannot be started.
ProgramResult RunCommand(const std::vector<std::string>& command);

}  // namespace tesslow::test
