#include "app/store_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void WaitForChild(pid_t pid)
{
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
}

TEST(StoreFile, TwoProcessesWritingAtOnceLoseNothing)
{
    TempDir dir;
    const StoreFile store(dir / "user.reg");
    constexpr int kWrites = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                ok = ok && store.Update([&](RegDocument& document) {
                    document.EnsureKey(kUserKey).Set("P" + std::to_string(child) + "_" + std::to_string(i),
                                                     RegValue::Dword(static_cast<std::uint32_t>(i)));
                });
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t pid : children) WaitForChild(pid);

    const RegDocument stored = store.Read();
    const RegKey* key = stored.FindKey(kUserKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), 2u * kWrites);
    for (int child = 0; child < 2; ++child)
        for (int i = 0; i < kWrites; ++i)
            EXPECT_NE(key->Find("P" + std::to_string(child) + "_" + std::to_string(i)), nullptr);
}

TEST(StoreFile, AWriteThatDiesHalfwayLeavesTheOldFileWhole)
{
    TempDir dir;
    const StoreFile store(dir / "user.reg");
    ASSERT_TRUE(store.Update([](RegDocument& d) { d.EnsureKey(kUserKey).Set("Old", RegValue::String("value")); }));
    const std::string before = test::ReadFile(store.Path());

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The file size limit makes the write fail part-way, as a full disk would.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = store.Update(
            [](RegDocument& d) { d.EnsureKey(kUserKey).Set("Big", RegValue::String(std::string(5000, 'x'))); });
        ::_exit(written ? 1 : 0);
    }
    WaitForChild(pid);

    EXPECT_EQ(test::ReadFile(store.Path()), before);
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_TRUE(entry.path().filename() == "user.reg" || entry.path().filename() == "user.reg.lock")
            << entry.path();
}

TEST(StoreFile, ARewriteKeepsThePermissionsOfTheFile)
{
    TempDir dir;
    const StoreFile store(dir / "user.reg");
    ASSERT_TRUE(store.Update([](RegDocument& d) { d.EnsureKey("K"); }));
    struct stat info{};
    ASSERT_EQ(::stat(store.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(store.Path().c_str(), 0600), 0);
    ASSERT_TRUE(store.Update([](RegDocument& d) { d.EnsureKey("L"); }));
    ASSERT_EQ(::stat(store.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(StoreFile, MissingOrUnreadableFilesReadAsEmpty)
{
    TempDir dir;
    EXPECT_TRUE(StoreFile(dir / "absent.reg").Read().Keys().empty());
    fs::create_directory(dir / "folder.reg");
    EXPECT_TRUE(StoreFile(dir / "folder.reg").Read().Keys().empty());
    EXPECT_FALSE(StoreFile(dir / "folder.reg").Update([](RegDocument&) {}));
}

}  // namespace
}  // namespace tesslow
