#include "app/settings.h"

#include "app/store_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::UserSandbox;
using test::WriteFile;

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n";

TEST(Settings, FirstRunGivesTheDefaultsAndCreatesTheUserKey)
{
    UserSandbox sandbox;
    const Settings settings;
    EXPECT_EQ(settings.LastFormat, 2u);
    EXPECT_EQ(settings.LastPreset, 1u);
    EXPECT_EQ(settings.LastMP3Value, 8u);
    EXPECT_EQ(settings.LastWMAValue, 15u);
    EXPECT_EQ(settings.LastOGGValue, 1u);
    EXPECT_EQ(settings.LastAPEValue, 2u);
    EXPECT_EQ(settings.LastFLACValue, 5u);
    EXPECT_EQ(settings.EncodeOnTheFly, 1u);
    EXPECT_EQ(settings.PreventClicks, 1u);
    EXPECT_EQ(settings.CDDBAutoConfig, 1u);
    EXPECT_EQ(settings.CDDBProxyTimeout, 20u);
    EXPECT_EQ(settings.JitterCorrection, 0u);
    EXPECT_EQ(settings.AlwaysOverwrite, 0u);
    EXPECT_EQ(settings.Skin, 0u);
    EXPECT_EQ(settings.NameTemplate, "%1 - [%5] %2");
    EXPECT_EQ(settings.LastFolder, (sandbox.Home() / "Music").string());
    EXPECT_TRUE(fs::is_directory(sandbox.Home() / "Music"));

    const RegDocument stored = StoreFile(sandbox.UserStore()).Read().document;
    EXPECT_NE(stored.FindKey(kUserParentKey), nullptr);
    ASSERT_NE(stored.FindKey(kUserKey), nullptr);
    EXPECT_TRUE(stored.FindKey(kUserKey)->values.empty());
}

TEST(Settings, ValuesOfTheWrongShapeLoadAsDefaults)
{
    UserSandbox sandbox;
    WriteFile(sandbox.UserStore(), kHeader +
                                       "\"LastFormat\"=\"12\"\n"                // 6 bytes
                                       "\"NameTemplate\"=dword:00000001\n"      // not a string
                                       "\"LastFolder\"=hex(1):2f,00,78,00,00\n" // odd length
                                       "\"CDDBServer\"=hex(1):2f,00,78,00\n"    // no terminating zero
                                       "\"LastPreset\"=\"4\"\n"                 // 4 bytes: 0x34
                                       "\"JitterCorrection\"=dword:00000001\n"
                                       // longer than a path can be
                                       "\"CDDBProxyServer\"=\"/" + std::string(32767, 'x') + "\"\n");
    const Settings settings;
    EXPECT_EQ(settings.LastFormat, 2u);
    EXPECT_EQ(settings.NameTemplate, "%1 - [%5] %2");
    EXPECT_EQ(settings.LastFolder, (sandbox.Home() / "Music").string());
    EXPECT_EQ(settings.CDDBServer, "");
    EXPECT_EQ(settings.CDDBProxyServer, "");
    EXPECT_EQ(settings.LastPreset, 0x34u);
    EXPECT_EQ(settings.JitterCorrection, 1u);
}

TEST(Settings, EmptyTemplateAndFolderFallBackToTheirDefaults)
{
    UserSandbox sandbox;
    WriteFile(sandbox.ConfigHome() / "user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/My Songs\"\n");
    WriteFile(sandbox.UserStore(), kHeader + "\"NameTemplate\"=\"\"\n\"LastFolder\"=\"\"\n");
    const Settings settings;
    EXPECT_EQ(settings.NameTemplate, "%1 - [%5] %2");
    EXPECT_EQ(settings.LastFolder, (sandbox.Home() / "My Songs").string());
    EXPECT_TRUE(fs::is_directory(sandbox.Home() / "My Songs"));
}

TEST(Settings, WritersStoreAtOnceAndASnapshotSeesNoLaterWrites)
{
    UserSandbox sandbox;
    Settings first;
    const Settings snapshot;
    first.WriteLastFormat(FormatCode::Flac);
    first.WriteLastFolder("/srv/music/Ünïcode");
    first.WriteLastPreset(QualityPreset::Custom);
    first.WriteLastQualityValue(FormatCode::Ogg, 5);
    first.WriteLastQualityValue(FormatCode::Flac, 3);  // no value for lossless formats
    first.WriteNameTemplate("%5 %2");
    first.WriteAlwaysOverwrite(true);
    first.WriteSubfolders(true, false, true);
    first.WriteSkipFirst();
    EXPECT_EQ(first.LastFormat, 6u);
    EXPECT_EQ(snapshot.LastFormat, 2u);

    const Settings reloaded;
    EXPECT_EQ(reloaded.LastFormat, 6u);
    EXPECT_EQ(reloaded.LastFolder, "/srv/music/Ünïcode");
    EXPECT_EQ(reloaded.LastPreset, 3u);
    EXPECT_EQ(reloaded.LastOGGValue, 5u);
    EXPECT_EQ(reloaded.LastFLACValue, 5u);
    EXPECT_EQ(reloaded.NameTemplate, "%5 %2");
    EXPECT_EQ(reloaded.AlwaysOverwrite, 1u);
    EXPECT_EQ(reloaded.CreateArtistSubfolder, 1u);
    EXPECT_EQ(reloaded.CreateAlbumSubfolder, 0u);
    EXPECT_EQ(reloaded.AddYearToFolderName, 1u);
    EXPECT_EQ(reloaded.SkipFirst, 1u);

    const RegDocument stored = StoreFile(sandbox.UserStore()).Read().document;
    const RegKey* key = stored.FindKey(kUserKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Find("LastFormat")->type, REG_DWORD);
    EXPECT_EQ(key->Find("LastFolder")->type, REG_SZ);
}

TEST(Settings, AWriteKeepsValuesTheProgramDoesNotKnowAndKeepsADamagedStoreAside)
{
    UserSandbox sandbox;
    WriteFile(sandbox.UserStore(), kHeader +
                                       "\"FutureOption\"=hex(7):41,00,00,00,00,00\n"
                                       "\"LastOGGValue\"=dword:00000003\n"
                                       "\x01\x02 this line is noise \xff\n"
                                       "\"EjectWhenDone\"=dword:00000001\n"
                                       "[HKEY_CURRENT_USER\\Software\\Elsewhere]\n"
                                       "\"Other\"=\"kept\"\n"
                                       "\"Cut\"=hex:01,0");
    const std::string damaged = test::ReadFile(sandbox.UserStore());
    Settings settings;
    EXPECT_EQ(settings.LastOGGValue, 3u);
    EXPECT_EQ(settings.EjectWhenDone, 1u);
    EXPECT_EQ(settings.keptAsideStore, "") << "reading changes nothing";
    EXPECT_EQ(test::ReadFile(sandbox.UserStore()), damaged);
    settings.WriteLastFormat(FormatCode::Wav);
    // The damaged file is kept as it was before it is written over, and the
    // writer says where.
    EXPECT_EQ(settings.keptAsideStore, sandbox.UserStore().string() + ".unreadable");
    EXPECT_EQ(test::ReadFile(settings.keptAsideStore), damaged);

    const RegDocument stored = StoreFile(sandbox.UserStore()).Read().document;
    const RegKey* key = stored.FindKey(kUserKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Find("FutureOption")->type, REG_MULTI_SZ);
    EXPECT_EQ(ReadNumber(key->Find("LastOGGValue"), 0), 3u);
    EXPECT_EQ(ReadNumber(key->Find("EjectWhenDone"), 0), 1u);
    EXPECT_EQ(ReadNumber(key->Find("LastFormat"), 0), 1u);
    EXPECT_EQ(ReadString(stored.FindKey("HKEY_CURRENT_USER\\Software\\Elsewhere")->Find("Other")), "kept");
}

TEST(Settings, MachineValuesComeFromTheFirstMachineStoreFound)
{
    UserSandbox sandbox;
    WriteFile(sandbox.ConfigDirs() / "Corvalen" / "tesslow" / "machine.reg",
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Corvalen\\tesslow]\n"
              "\"AppPath\"=\"/opt/tesslow/lib\"\n\"HomeURL\"=\"https://h/\"\n\"MailURL\"=\"mailto:m@h\"\n");
    const Settings settings;
    EXPECT_EQ(settings.AppPath, "/opt/tesslow/lib");
    EXPECT_EQ(settings.HomeURL, "https://h/");
    EXPECT_EQ(settings.MailURL, "mailto:m@h");
}

TEST(Settings, AnUnwritableStoreFailsSilently)
{
    UserSandbox sandbox;
    // A file where the store's folder should be: nothing can be created there.
    WriteFile(sandbox.ConfigHome() / "Corvalen", "not a folder");
    Settings settings;
    EXPECT_EQ(settings.LastFormat, 2u);
    settings.WriteLastFormat(FormatCode::Ogg);
    EXPECT_EQ(settings.LastFormat, 4u);
    EXPECT_EQ(Settings().LastFormat, 2u);
}

}  // namespace
}  // namespace tesslow
