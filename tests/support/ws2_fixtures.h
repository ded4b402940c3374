#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tesslow::test {

// The compilation disc's answers of tests/metadata/ws2, for a disc of the
// test's own: the disc-id answer listing three releases and the answers of
// `releases` (their ids), written under `root` for an HttpFixtureServer with
// the fixture's disc id replaced by `discId`.
void WriteCompilationAnswers(const std::filesystem::path& root, const std::string& discId,
                             const std::vector<std::string>& releases);

}  // namespace tesslow::test
