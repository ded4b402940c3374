#pragma once

#include <string>
#include <vector>

namespace tesslow::test {

struct ProgramResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// A program of the build tree started in the background, with stdin from
// /dev/null and its output collected in files until Wait.
class RunningProgram {
public:
    // `name` is bin/NAME of the build tree, or an absolute path. The program
    // sees the test's environment plus `extraEnv` ("NAME=value" entries, which
    // replace inherited ones).
    RunningProgram(const std::string& name, const std::vector<std::string>& args,
                   const std::vector<std::string>& extraEnv = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    void Signal(int signal);
    ProgramResult Wait();

private:
    std::string scratch_;
    int pid_ = -1;
};

// Starts a program and waits for it.
ProgramResult RunProgram(const std::string& name, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv = {});

}  // namespace tesslow::test
