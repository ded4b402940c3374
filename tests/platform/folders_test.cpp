#include "platform/folders.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;

TEST(Folders, MissingFoldersAreCreatedOutermostFirstAndTheFirstFailureStops)
{
    test::TempDir dir;
    MakeDirectoryPath((dir / "Music" / "A" / "B").string() + "/");
    EXPECT_TRUE(fs::is_directory(dir / "Music" / "A" / "B"));

    test::WriteFile(dir / "Music" / "file", "x");
    MakeDirectoryPath((dir / "Music" / "file" / "C" / "D").string());
    EXPECT_FALSE(fs::exists(dir / "Music" / "file" / "C"));

    EnsureParentDirectory((dir / "X" / "Y" / "track.wav").string());
    EXPECT_TRUE(fs::is_directory(dir / "X" / "Y"));
    EXPECT_FALSE(fs::exists(dir / "X" / "Y" / "track.wav"));
}

TEST(Folders, FileNameIsThePartAfterTheLastSlash)
{
    EXPECT_EQ(FileNameOf("/music/Ann - [03] Home.wav"), "Ann - [03] Home.wav");
    EXPECT_EQ(FileNameOf("plain.wav"), "plain.wav");
    EXPECT_EQ(FileNameOf("/music/"), "");
}

}  // namespace
}  // namespace tesslow
