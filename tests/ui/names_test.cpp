#include "app/settings.h"
#include "drive/disc_probe.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "support/ws2_fixtures.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::WizardHarness;


// The tracks page naming a four-track compilation that a web service of the
// test's own knows as three releases, and the rip that takes its names.
class Names : public ::testing::TestWithParam<SkinKind> {
protected:
    void SetUp() override
    {
        test::TestDisc testDisc;
        for (std::int32_t sectors : {150, 160, 170, 180}) testDisc.tracks.push_back({sectors});
        disc = test::WriteTestDisc(wizard.sandbox.Root(), testDisc, "names");
        DiscRecords records;
        ProbeDisc(records, disc.cue.string());
        discId = DiscIdFromRawToc(records[disc.cue.string()].rawToc);
        test::WriteCompilationAnswers(serverRoot.Path(), discId,
                                      {"6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d01", "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d06"});
        wizard.state.job.driveKey.clear();
        drives = std::make_unique<test::ScopedEnv>("TESSLOW_DRIVES", disc.cue.c_str());
        Settings settings;
        settings.WriteLastFolder(out.string());
        settings.WriteSubfolders(false, false, false);
        settings.WriteLastFormat(FormatCode::Flac);
    }

    template <typename Widget>
    Widget* Find(const char* name)
    {
        return wizard.frame->findChild<Widget*>(QString::fromLatin1(name));
    }
    QTreeWidgetItem* Row(int i) { return Find<QTreeWidget>("trackList")->topLevelItem(i); }
    void Key(Qt::Key key) { QTest::keyClick(wizard.frame->windowHandle(), key); }
    bool WaitFor(const std::function<bool()>& done, int ms = 15000) { return QTest::qWaitFor(done, ms); }

    WizardHarness wizard{GetParam()};
    fs::path out = wizard.sandbox.Root() / "out";
    test::WrittenDisc disc;
    std::string discId;
    test::TempDir serverRoot;
    test::HttpFixtureServer server{serverRoot.Path()};
    test::ScopedEnv url{"TESSLOW_MUSICBRAINZ_URL", server.Url().c_str()};
    test::ScopedEnv noProxy{"no_proxy", "127.0.0.1"};
    std::unique_ptr<test::ScopedEnv> drives;
};

TEST_P(Names, TheReleaseChoiceSwitchesTitlesAndEditsNameTheRipAndOutlastIt)
{
    Key(Qt::Key_Return);  // welcome → insert disc → tracks
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Tracks; }));
    ASSERT_TRUE(WaitFor([&] { return Find<QLabel>("trackStatus")->text().contains("loaded"); }));
    auto* release = Find<QComboBox>("releaseChoice");
    ASSERT_TRUE(release->isVisible());
    ASSERT_EQ(release->count(), 3);
    EXPECT_EQ(release->currentText(), "Ça & <Ça>: “Songs”, XE, 1999, Disques & Co");
    EXPECT_EQ(Row(0)->text(1), "Jóga");
    EXPECT_EQ(Row(0)->text(2), "Björk");  // a compilation shows each track's artist
    EXPECT_EQ(Find<QLabel>("discNames")->toolTip(), "Various Artists — Ça & <Ça>: “Songs”");

    // Another release: its titles at once, the checks as they were.
    Row(3)->setCheckState(0, Qt::Unchecked);
    release->setCurrentIndex(2);
    emit release->activated(2);
    ASSERT_TRUE(WaitFor([&] { return Row(0)->text(1) == "Jóga (Remastered)"; }));
    EXPECT_EQ(Row(3)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Row(0)->checkState(0), Qt::Checked);

    // F2 edits the selected row's title in place.
    auto* list = Find<QTreeWidget>("trackList");
    list->setFocus();
    list->setCurrentItem(Row(2));
    QTest::keyClick(list, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = list->viewport()->findChild<QLineEdit*>()) != nullptr; }, 5000));
    editor->selectAll();
    QTest::keyClicks(editor, "Stillness");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return Row(2)->text(1) == "Stillness"; }, 5000));

    // Disc details: the album's names.
    bool opened = false;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("discDetailsDialog") || !dialog->isVisible()) return;
        person.stop();
        opened = true;
        dialog->findChild<QLineEdit*>(QStringLiteral("detailsArtist"))->setText(QStringLiteral("Friends"));
        dialog->findChild<QLineEdit*>(QStringLiteral("detailsAlbum"))->setText(QStringLiteral("Our Mix"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    person.start(20);
    Find<QPushButton>("discDetailsButton")->click();
    ASSERT_TRUE(opened);
    EXPECT_EQ(Find<QLabel>("discNames")->toolTip(), "Friends — Our Mix");
    EXPECT_FALSE(release->isVisible());  // the person's names are not switched away

    // The rip is named and tagged with the edits.
    Key(Qt::Key_Return);  // tracks → format, once the drive has said it is the same disc
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Format; }));
    Key(Qt::Key_Return);  // format → destination
    Key(Qt::Key_Return);  // destination → ready
    ASSERT_EQ(wizard.Current(), PageId::Ready);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Final; }, 30000));
    const fs::path third = out / "Friends - [03] Stillness.flac";
    ASSERT_TRUE(fs::exists(third)) << wizard.state.errorText;
    EXPECT_TRUE(fs::exists(out / "Friends - [01] Björk _ Jóga (Remastered).flac"));
    EXPECT_FALSE(fs::exists(out / "Friends - [04] Ludwig van Beethoven _ 日本語のタイトル.flac"));
    const auto tags =
        test::RunProgram("/usr/bin/metaflac", {"--show-tag=TITLE", "--show-tag=ALBUM", third.string()});
    EXPECT_EQ(tags.out, "TITLE=Stillness\nALBUM=Our Mix\n");

    // Rip more, and a later run: the names stay the person's.
    wizard.Click(GetParam() == SkinKind::Classic ? "next" : "finish");
    ASSERT_EQ(wizard.Current(), PageId::InsertDisc);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Tracks; }));
    ASSERT_TRUE(WaitFor([&] { return Find<QLabel>("trackStatus")->text().contains("loaded"); }));
    EXPECT_EQ(Row(2)->text(1), "Stillness");
    EXPECT_EQ(Find<QLabel>("discNames")->toolTip(), "Friends — Our Mix");
    const std::optional<AlbumInfo> kept = TitleCache().Find(discId);
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->edited);
    EXPECT_EQ(kept->album, "Our Mix");
    EXPECT_EQ(kept->trackTitles[2], "Stillness");
}

// One release: no choice to show.
TEST_P(Names, ADiscOfOneReleaseShowsNoReleaseChoice)
{
    const fs::path list = serverRoot.Path() / "ws" / "2" / "discid" / (discId + ".xml");
    std::string answer = test::ReadFile(list);
    const std::size_t second = answer.find("<release id=\"6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d02\"");
    answer.erase(second, answer.find("</release-list>") - second);
    test::WriteFile(list, answer);
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Tracks; }));
    ASSERT_TRUE(WaitFor([&] { return Find<QLabel>("trackStatus")->text().contains("loaded"); }));
    EXPECT_EQ(Row(0)->text(1), "Jóga");
    EXPECT_FALSE(Find<QComboBox>("releaseChoice")->isVisible());
}

// A disc neither the cache nor the web service knows is named from its CD-Text.
TEST_P(Names, ADiscNobodyKnowsIsNamedFromItsCdText)
{
    const fs::path folder = wizard.sandbox.Root() / "cd-text";
    fs::create_directories(folder);
    test::WriteAudioFile(folder / "disc.bin", 300, true);
    test::WriteCueSheet(folder / "disc.cue", "PERFORMER \"Die \u00C4rzte\"\n"
                                             "TITLE \"Stra\u00DFenmusik\"\n"
                                             "FILE \"disc.bin\" BINARY\n"
                                             "  TRACK 01 AUDIO\n"
                                             "    TITLE \"Erste Runde\"\n"
                                             "    INDEX 01 00:00:00\n"
                                             "  TRACK 02 AUDIO\n"
                                             "    TITLE \"Zweite\"\n"
                                             "    PERFORMER \"Gast\"\n"
                                             "    INDEX 01 00:02:00\n");
    test::ScopedEnv drive("TESSLOW_DRIVES", (folder / "disc.cue").c_str());
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Tracks; }));
    ASSERT_TRUE(WaitFor([&] { return Find<QLabel>("trackStatus")->text().contains("loaded"); }));
    EXPECT_EQ(Find<QLabel>("discNames")->toolTip(), "Die \u00C4rzte \u2014 Stra\u00DFenmusik");
    EXPECT_EQ(Row(0)->text(1), "Erste Runde");
    EXPECT_EQ(Row(1)->text(1), "Zweite");
    EXPECT_EQ(Row(1)->text(2), "Gast");
    EXPECT_FALSE(Find<QComboBox>("releaseChoice")->isVisible());
}

INSTANTIATE_TEST_SUITE_P(BothSkins, Names, ::testing::Values(SkinKind::Aero, SkinKind::Classic), test::SkinName);

}  // namespace
}  // namespace tesslow
