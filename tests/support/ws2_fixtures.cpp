#include "support/ws2_fixtures.h"

#include "support/temp_dir.h"

namespace tesslow::test {

namespace {

constexpr const char* kFixtureDiscId = "1.gsOZ5qyZ5fc.ndDamWCFHJ368-";

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

void WriteCompilationAnswers(const std::filesystem::path& root, const std::string& discId,
                             const std::vector<std::string>& releases)
{
    const std::filesystem::path answers = std::filesystem::path(TESSLOW_SOURCE_DIR) / "tests" / "metadata" / "ws2" / "ws" / "2";
    auto copy = [&](const std::string& kind, const std::string& from, const std::string& to) {
        WriteFile(root / "ws" / "2" / kind / (to + ".xml"),
                  Replaced(ReadFile(answers / kind / (from + ".xml")), kFixtureDiscId, discId));
    };
    copy("discid", kFixtureDiscId, discId);
    for (const std::string& release : releases) copy("release", release, release);
}

}  // namespace tesslow::test
