#include "metadata/cover_cache.h"
#include "support/command.h"
#include "support/http_fixture_server.h"
#include "support/temp_dir.h"
#include "ui/controls/cover_well.h"
#include "ui/disc_details_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;

// The disc details' picture well: the release's cover fetched off the GUI
// thread, a picture of the person's own chosen, a file that is none refused,
// and the cover removed; OK hands the choice on with the album.
TEST(CoverWellTest, ShowsTheReleasesCoverAndTakesThePersonsChoice)
{
    test::UserSandbox sandbox;
    test::TempDir dir, serverRoot;
    test::HttpFixtureServer server(serverRoot.Path());
    test::ScopedEnv archive("TESSLOW_COVERART_URL", server.Url().c_str());
    const fs::path jpeg = dir / "front.jpg", png = dir / "mine.png";
    for (const auto& [file, size] : {std::pair{jpeg, "60x60"}, std::pair{png, "30x20"}})
        ASSERT_EQ(test::RunCommand("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", std::string("testsrc=s=") + size,
                                              "-frames:v", "1", file.string()})
                      .exitCode,
                  0);
    test::WriteFile(serverRoot / "release" / "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01" / "front-500.xml",
                    test::ReadFile(jpeg));
    test::WriteFile(dir / "notes.txt", "no picture");

    AlbumInfo album;
    album.artist = "Someone";
    album.album = "Something";
    album.trackTitles = {"One", "Two"};
    album.source = "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01";
    {
        DiscDetailsDialog dialog(nullptr, album);
        auto* well = dialog.findChild<CoverWell*>(QStringLiteral("coverWell"));
        auto* source = dialog.findChild<QLabel*>(QStringLiteral("coverSource"));
        auto* remove = dialog.findChild<QPushButton*>(QStringLiteral("coverRemove"));
        ASSERT_TRUE(well && source && remove && dialog.findChild<QPushButton*>(QStringLiteral("coverChoose")));
        QSignalSpy shown(well, &CoverWell::Shown);
        dialog.show();
        ASSERT_TRUE(shown.count() > 0 || shown.wait(10000));
        EXPECT_TRUE(well->HasPicture());
        EXPECT_EQ(source->text(), "Cover Art Archive\n60x60 JPEG");
        EXPECT_TRUE(remove->isEnabled());
        EXPECT_EQ(dialog.Album(), album) << "nothing chosen yet";

        shown.clear();
        well->ChooseFile(QString::fromStdString((dir / "notes.txt").string()));
        ASSERT_TRUE(shown.wait(10000));
        EXPECT_EQ(source->text(), "Not taken: not a JPEG or PNG image");
        EXPECT_TRUE(well->HasPicture());
        EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("coverPicture"))->pixmap().isNull()) << "still shown";
        EXPECT_EQ(dialog.Album(), album);

        shown.clear();
        well->ChooseFile(QString::fromStdString(png.string()));
        ASSERT_TRUE(shown.wait(10000));
        EXPECT_EQ(source->text(), "Your picture\n30x20 PNG");
        const AlbumInfo chosen = dialog.Album();
        EXPECT_FALSE(chosen.noCover);
        EXPECT_EQ(fs::path(chosen.coverFile).parent_path(), DefaultCoverCacheFolder()) << "a copy that lasts";
        EXPECT_EQ(test::ReadFile(chosen.coverFile), test::ReadFile(png));

        remove->click();
        EXPECT_FALSE(well->HasPicture());
        EXPECT_FALSE(remove->isEnabled());
        const AlbumInfo removed = dialog.Album();
        EXPECT_TRUE(removed.noCover);
        EXPECT_TRUE(removed.coverFile.empty());
    }
    {
        // A disc whose cover was removed shows none, and asks nobody.
        album.noCover = true;
        DiscDetailsDialog dialog(nullptr, album);
        auto* well = dialog.findChild<CoverWell*>(QStringLiteral("coverWell"));
        QSignalSpy shown(well, &CoverWell::Shown);
        ASSERT_TRUE(shown.wait(10000));
        EXPECT_FALSE(well->HasPicture());
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("coverSource"))->text(), "Removed");
        EXPECT_EQ(server.Requests().size(), 1u);
    }
    EXPECT_TRUE(QApplication::topLevelWidgets().empty() ||
                std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                             [](QWidget* w) { return w->isVisible(); }));
}

}  // namespace
}  // namespace tesslow
