#include "platform/partial_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PartialFile, TheFinalNameChangesOnlyAtCommitAndAFileAbandonedLeavesNothing)
{
    TempDir dir;
    WriteFile(dir / "song.flac", "old");
    {
        PartialFile file((dir / "song.flac").string());
        const std::string temporary = fs::path(file.TemporaryPath()).filename().string();
        EXPECT_EQ(temporary.front(), '.');
        EXPECT_TRUE(temporary.ends_with(".tesslow-part")) << temporary;
        EXPECT_NE(temporary.find("song.flac"), std::string::npos);
        WriteFile(file.TemporaryPath(), "new, half written");
        EXPECT_EQ(ReadFile(dir / "song.flac"), "old");
    }  // abandoned: a cancel or a failure
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"song.flac"});
    EXPECT_EQ(ReadFile(dir / "song.flac"), "old");

    PartialFile file((dir / "song.flac").string());
    WriteFile(file.TemporaryPath(), "new");
    file.Commit();
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"song.flac"});
    EXPECT_EQ(ReadFile(dir / "song.flac"), "new");

    // Something in the way: the reason in plain words, and nothing left.
    fs::create_directory(dir / "folder.flac");
    PartialFile blocked((dir / "folder.flac").string());
    WriteFile(blocked.TemporaryPath(), "new");
    try {
        blocked.Commit();
        FAIL() << "renamed over a folder";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("a file is in the way: ", 0), 0u) << error.what();
    }
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"folder.flac", "song.flac"}));

    // The longest name a file can have still has a temporary name that fits.
    const std::string longest(251, 'n');
    PartialFile longName((dir / (longest + ".ape")).string());
    EXPECT_LE(fs::path(longName.TemporaryPath()).filename().string().size(), 255u);
    WriteFile(longName.TemporaryPath(), "x");
    longName.Commit();
    EXPECT_TRUE(fs::exists(dir / (longest + ".ape")));
}

TEST(PartialFile, OnlyTheTemporaryFilesOfProcessesThatNoLongerRunAreRemoved)
{
    TempDir dir;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);  // a process that has ended
    const std::string dead = ".a.flac." + std::to_string(child) + "-1.tesslow-part";
    const std::string running = ".b.flac.1-7.tesslow-part";  // init never ends
    const std::string mine = ".c.flac." + std::to_string(::getpid()) + "-3.tesslow-part";
    for (const std::string& name : {dead, running, mine, std::string(".hidden"), std::string("d.flac.9-1.tesslow-part"),
                                    std::string(".e.flac.x-1.tesslow-part"), std::string("song.flac")})
        WriteFile(dir / name, "x");
    RemoveStalePartFiles(dir.Path().string());
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{running, mine, ".e.flac.x-1.tesslow-part", ".hidden",
                                                              "d.flac.9-1.tesslow-part", "song.flac"}));
}

}  // namespace
}  // namespace tesslow
