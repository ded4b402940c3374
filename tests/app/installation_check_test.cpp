#include "app/installation_check.h"

#include "app/error_message.h"
#include "app/store_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace tesslow {
namespace {

using test::TempDir;
using test::WriteFile;

std::string CheckMessage(const std::optional<std::filesystem::path>& store)
{
    try {
        CheckMachineStore(store);
        return "passed";
    } catch (const std::runtime_error& error) {
        return error.what();
    }
}

const std::string kNotInstalled =
    "Tesslow is not properly installed.\n\nPlease, reinstall Tesslow. If problem persists, contact Corvalen support.";

TEST(InstallationCheck, NeedsAllThreeMachineStringsInTheStore)
{
    TempDir dir;
    const auto path = dir / "machine.reg";
    const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Corvalen\\tesslow]\n";
    const std::string app = "\"AppPath\"=\"/opt/t\"\n", home = "\"HomeURL\"=\"h\"\n", mail = "\"MailURL\"=\"m\"\n";

    EXPECT_EQ(CheckMessage(std::nullopt), kNotInstalled);
    WriteFile(path, app + home + mail);  // values outside any key
    EXPECT_EQ(CheckMessage(path), kNotInstalled);
    WriteFile(path, key + home + mail);
    EXPECT_EQ(CheckMessage(path), kNotInstalled);
    WriteFile(path, key + app + mail);
    EXPECT_EQ(CheckMessage(path), kNotInstalled);
    WriteFile(path, key + app + home);
    EXPECT_EQ(CheckMessage(path), kNotInstalled);
    WriteFile(path, key + app + home + "\"MailURL\"=dword:00000001\n");
    EXPECT_EQ(CheckMessage(path), kNotInstalled);
    WriteFile(path, key + app + home + "\"MailURL\"=\"\"\n");  // empty strings pass the string rule
    EXPECT_EQ(CheckMessage(path), "passed");
}

TEST(InstallationCheck, TheBuildTreeCarriesItsOwnMachineStore)
{
    test::UserSandbox sandbox;
    const auto store = MachineStorePath();
    ASSERT_TRUE(store.has_value());
    EXPECT_EQ(store->string(), std::string(TESSLOW_BUILD_DIR) + "/etc/xdg/Corvalen/tesslow/machine.reg");
    EXPECT_NO_THROW(InstallationCheck());
}

TEST(ErrorMessage, EscapingErrorsBecomeTheirMessagesAndTheExitCodeStaysZero)
{
    auto shown = [](auto thrower) {
        std::string message;
        const int code = RunGuarded(thrower, [&](const std::string& text) { message = text; });
        EXPECT_EQ(code, 0);
        return message;
    };
    EXPECT_EQ(shown([] { throw std::runtime_error("Audio CD read error."); }), "Audio CD read error.");
    EXPECT_NE(shown([] { throw std::system_error(std::make_error_code(std::errc::io_error), "x"); }), "Unhandled exception.");
    EXPECT_EQ(shown([] { throw std::bad_alloc(); }), "Out of memory.");
    EXPECT_EQ(shown([] { throw std::logic_error("x"); }), "Unhandled exception.");
    EXPECT_EQ(shown([] { throw 42; }), "Unhandled exception.");
    EXPECT_EQ(shown([] {}), "");
}

}  // namespace
}  // namespace tesslow
