#pragma once

namespace tesslow {

// Exit codes of tesslow-rip. A finished rip exits with the job's result code
// (0 success, 1 canceled, 3 completed with errors).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The command-line ripper: parses the arguments and runs one command.
int RunTesslowRip(int argc, char** argv);

}  // namespace tesslow
