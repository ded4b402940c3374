#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tesslow::test {

// Runs `body` in a child process that has a user and mount namespace of its
// own, with a tmpfs mounted at `at` (options such as "size=64k", flags such
// as MS_RDONLY): a small or read-only disk that nothing else sees. Answers
// the child's exit code (what `body` returned), or nothing when this machine
// allows no such namespace (the test should then skip).
std::optional<int> WithPrivateTmpfs(const std::filesystem::path& at, const std::string& options, unsigned long flags,
                                    const std::function<int()>& body);

}  // namespace tesslow::test
