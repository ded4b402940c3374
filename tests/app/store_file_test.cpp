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
                           }).written;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t pid : children) WaitForChild(pid);

    const RegDocument stored = store.Read().document;
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
    ASSERT_TRUE(store.Update([](RegDocument& d) { d.EnsureKey(kUserKey).Set("Old", RegValue::String("value")); }).written);
    const std::string before = test::ReadFile(store.Path());

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The file size limit makes the write fail part-way, as a full disk would.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = store.Update([](RegDocument& d) {
            d.EnsureKey(kUserKey).Set("Big", RegValue::String(std::string(5000, 'x')));
        }).written;
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
    ASSERT_TRUE(store.Update([](RegDocument& d) { d.EnsureKey("K"); }).written);
    struct stat info{};
    ASSERT_EQ(::stat(store.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(store.Path().c_str(), 0600), 0);
    ASSERT_TRUE(store.Update([](RegDocument& d) { d.EnsureKey("L"); }).written);
    ASSERT_EQ(::stat(store.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

std::string Utf16Le(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

TEST(StoreFile, AStoreThatCannotBeReadWholeIsKeptAsideBeforeItIsWrittenOver)
{
    const std::string good = "Windows Registry Editor Version 5.00\r\n\r\n[K]\r\n\"A\"=dword:00000001\r\n";
    struct Case {
        const char* name;
        std::string bytes;  // empty: a folder stands where the file should be
        bool whole;
        std::size_t valuesRead;
    };
    const Case cases[] = {
        {"a store as regedit exports it, UTF-16LE", Utf16Le(good + "\"B\"=\"text\"\r\n"), true, 2},
        {"a store with a byte-order mark", "\xEF\xBB\xBF" + good, true, 1},
        {"one line that cannot be read", good + "\"Broken\"=dword:123\n", false, 1},
        {"garbage", "\x01\x02 not a store \xff", false, 0},
        {"UTF-16 cut in half", Utf16Le(good).substr(0, 9), false, 0},
        {"UTF-16 of an odd length keeps its lines", Utf16Le(good + "\"B\"=\"text\"\r\n") + "x", false, 2},
        {"carriage returns alone end lines", "Windows Registry Editor Version 5.00\r\r[K]\r\"A\"=dword:00000001\r", true, 1},
        {"larger than a store can be keeps its lines up to the limit", good + std::string(17 << 20, ';'), false, 1},
        {"a folder", "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const StoreFile store(dir / "user.reg");
        if (c.bytes.empty())
            fs::create_directory(store.Path());
        else
            test::WriteFile(store.Path(), c.bytes);
        const StoreContents read = store.Read();
        EXPECT_EQ(read.whole, c.whole);
        const RegKey* key = read.document.FindKey("K");
        EXPECT_EQ(key ? key->values.size() : 0u, c.valuesRead);

        const StoreUpdate update = store.Update([](RegDocument& d) { d.EnsureKey("K").Set("New", RegValue::Dword(2)); });
        EXPECT_TRUE(update.written);
        EXPECT_EQ(update.keptAside.has_value(), !c.whole);
        if (update.keptAside) {
            EXPECT_EQ(*update.keptAside, dir / "user.reg.unreadable");
            if (!c.bytes.empty()) {
                EXPECT_EQ(test::ReadFile(*update.keptAside), c.bytes) << "kept as it was";
            }
        }
        const StoreContents written = store.Read();
        EXPECT_TRUE(written.whole);
        EXPECT_EQ(written.document.FindKey("K")->values.size(), c.valuesRead + 1);
    }
}

}  // namespace
}  // namespace tesslow
