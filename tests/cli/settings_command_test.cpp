#include "support/run_program.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

TEST(TesslowRip, SettingsOnAFirstRunPrintTheDefaultsInTableOrderAndCreateTheStore)
{
    test::UserSandbox sandbox;
    const auto result = RunProgram("tesslow-rip", {"--settings"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string music = (sandbox.Home() / "Music").string();
    const std::string expected =
        "JitterCorrection=0\nLockDisk=0\nSpinUpTime=0\nEjectWhenDone=0\nEncodeOnTheFly=1\nPreventClicks=1\n"
        "MP3ForceCBR=0\nSkipFirst=0\nLastFolder=" + music + "\nLastFormat=2\nLastPreset=1\nLastMP3Value=8\n"
        "LastWMAValue=15\nLastOGGValue=1\nLastAPEValue=2\nLastFLACValue=5\nCDDBAutoConfig=1\nCDDBServer=\n"
        "CDDBMode=0\nCDDBProxyEnabled=0\nCDDBProxyServer=\nCDDBProxyPort=0\nCDDBProxyEmail=\n"
        "CDDBProxyTimeout=20\nCDDBAutoLoad=0\nSetMaxSpeed=0\nAlwaysOverwrite=0\nNameTemplate=%1 - [%5] %2\n"
        "CreateArtistSubfolder=0\nCreateAlbumSubfolder=0\nAddYearToFolderName=0\nBeepWhenDone=0\n"
        "OpenFolderWhenDone=0\nSkin=0\n";
    ASSERT_GE(result.out.size(), expected.size());
    EXPECT_EQ(result.out.substr(0, expected.size()), expected);
    EXPECT_NE(result.out.find("\nAppPath=" TESSLOW_BUILD_DIR "/"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(sandbox.UserStore()));
    EXPECT_NE(test::ReadFile(sandbox.UserStore()).find("[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]"),
              std::string::npos);
}

TEST(TesslowRip, AStoreItCannotReadIsKeptAsIsOrKeptAsideAndItSaysSoOnce)
{
    test::UserSandbox sandbox;
    const std::string header = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n";
    // Partly damaged, with its key: read as far as it goes, never written.
    const std::string partly = header + "\"LastFormat\"=dword:00000006\n\x01 noise\n";
    test::WriteFile(sandbox.UserStore(), partly);
    const auto read = RunProgram("tesslow-rip", {"--settings"});
    EXPECT_EQ(read.exitCode, 0);
    EXPECT_NE(read.out.find("LastFormat=6\n"), std::string::npos);
    EXPECT_EQ(read.err, "");
    EXPECT_EQ(test::ReadFile(sandbox.UserStore()), partly);

    // Not a store at all: a first run's key goes into a new file, the old one
    // is kept aside, and the user is told once.
    const std::string garbage = "\xff\xfe\x01garbage";
    test::WriteFile(sandbox.UserStore(), garbage);
    const auto first = RunProgram("tesslow-rip", {"--settings"});
    EXPECT_EQ(first.exitCode, 0);
    const std::string kept = sandbox.UserStore().string() + ".unreadable";
    EXPECT_EQ(first.err, "tesslow-rip: Your settings could not be read, so new ones were started; the old settings "
                         "file was kept as " + kept + ".\n");
    EXPECT_EQ(test::ReadFile(kept), garbage);
    const auto second = RunProgram("tesslow-rip", {"--settings"});
    EXPECT_EQ(second.err, "");

    // A store as regedit exports it, in UTF-16 with a byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (char c : header + "\"LastFormat\"=dword:00000004\n") utf16 += std::string{c, '\0'};
    test::WriteFile(sandbox.UserStore(), utf16);
    EXPECT_NE(RunProgram("tesslow-rip", {"--settings"}).out.find("LastFormat=4\n"), std::string::npos);
}

TEST(TesslowRip, AnInstallationWithoutMachineStoreFailsTheCheckWithItsMessage)
{
    test::UserSandbox sandbox;
    EXPECT_EQ(RunProgram("tesslow-rip", {"--check-installation"}).exitCode, 0);

    // A copy of the program outside the build tree finds no machine store.
    fs::create_directories(sandbox.Root() / "bin");
    fs::copy_file(fs::path(TESSLOW_BIN_DIR) / "tesslow-rip", sandbox.Root() / "bin" / "tesslow-rip");
    const auto result = RunProgram((sandbox.Root() / "bin" / "tesslow-rip").string(),
                                         {"--check-installation"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "Tesslow is not properly installed.\n\nPlease, reinstall Tesslow. If problem persists, contact Corvalen "
              "support.\n");
}

TEST(TesslowRip, UnknownOptionsAreUsageErrors)
{
    test::UserSandbox sandbox;
    const auto result = RunProgram("tesslow-rip", {"--frobnicate"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--frobnicate"), std::string::npos);
    const auto version = RunProgram("tesslow-rip", {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("tesslow-rip ", 0), 0u);
}

}  // namespace
}  // namespace tesslow
