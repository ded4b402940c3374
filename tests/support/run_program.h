#pragma once

#include <string>
#include <vector>

namespace tesslow::test {

struct ProgramResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs a program of the build tree (bin/NAME, or an absolute path) with the test's environment plus
// `extraEnv` ("NAME=value" entries), stdin from /dev/null, and collects its
// output.
ProgramResult RunProgram(const std::string& name, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv = {});

}  // namespace tesslow::test
