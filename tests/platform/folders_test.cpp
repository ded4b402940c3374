#include "platform/folders.h"
#include "support/private_mount.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>
#include <optional>

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

namespace tesslow {
namespace {

// A folder is judged by writing into it, not by its permission bits: root
// may write anywhere the bits forbid, but not on a read-only mount.
TEST(Folders, AFolderProblemIsFoundByWritingAndNamesTheFolder)
{
    test::TempDir dir;
    EXPECT_EQ(FolderProblem((dir / "new" / "Music").string()), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "the probe was left behind";
    EXPECT_EQ(FolderProblem(""), "no folder is given");
    test::WriteFile(dir / "file", "x");
    EXPECT_EQ(FolderProblem((dir / "file" / "Music").string()), (dir / "file").string() + " is not a folder");
    const std::optional<int> result = test::WithPrivateTmpfs(dir.Path(), "size=64k", MS_RDONLY, [&] {
        return FolderProblem((dir / "Music").string()) == dir.Path().string() + ": Read-only file system" ? 0 : 1;
    });
    if (!result) GTEST_SKIP() << "no user namespaces here to mount a read-only file system in";
    EXPECT_EQ(*result, 0);
}

}  // namespace
}  // namespace tesslow
