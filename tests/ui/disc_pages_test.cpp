#include "app/settings.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/http_fixture_server.h"
#include "ui/pages/insert_disc_page.h"
#include "ui/pages/tracks_page.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>
#include <QLabel>
#include <QHeaderView>
#include <QTreeWidget>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

namespace tesslow {
namespace {

using namespace std::chrono_literals;
using test::WizardHarness;

class DiscPages : public ::testing::TestWithParam<SkinKind> {
protected:
    QLabel* Label(const char* name) { return wizard.frame->findChild<QLabel*>(QString::fromLatin1(name)); }
    QTreeWidget* List() { return wizard.frame->findChild<QTreeWidget*>(QStringLiteral("trackList")); }
    bool WaitFor(const std::function<bool()>& done, int ms = 5000) { return QTest::qWaitFor(done, ms); }
    bool WaitForStatus(const QString& text, int ms = 5000)
    {
        return WaitFor([&] { return Label("trackStatus")->text() == text; }, ms);
    }

    WizardHarness wizard{GetParam()};
};

TEST_P(DiscPages, TheSearchFindsTheDriveWithTheDiscAndOtherwiseSaysSoAndSearchesAgain)
{
    const std::string empty = (wizard.sandbox.Root() / "empty.cue").string();
    {
        test::ScopedEnv drives("TESSLOW_DRIVES", (empty + ":" + wizard.disc.cue.string()).c_str());
        wizard.state.job.driveKey.clear();
        wizard.Click("next");
        EXPECT_EQ(Label("searchStatus")->text(), "Searching...");
        EXPECT_FALSE(wizard.Usable("next"));
        ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Tracks; }));
        EXPECT_EQ(wizard.state.job.driveKey, wizard.disc.cue.string());
        EXPECT_EQ(List()->topLevelItemCount(), 3);
    }
    test::ScopedEnv drives("TESSLOW_DRIVES", empty.c_str());
    wizard.GoTo(PageId::InsertDisc);
    const QString notFound = QStringLiteral("No audio disc found in any of your optical drives. Please insert audio "
                                            "disc and click \"Next\".");
    ASSERT_TRUE(WaitFor([&] { return Label("searchStatus")->text() == notFound; }));
    EXPECT_TRUE(wizard.Usable("next"));
    wizard.Click("next");
    EXPECT_EQ(Label("searchStatus")->text(), "Searching...");
    EXPECT_TRUE(WaitFor([&] { return Label("searchStatus")->text() == notFound; }));
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
}

// While the page waits it looks again every 2 seconds and goes on by itself
// once a disc is put in; with no drive at all it says that instead.
TEST_P(DiscPages, TheWaitingPageGoesOnByItselfWhenADiscArrivesAndTellsNoDriveFromNoDisc)
{
    {
        test::ScopedEnv none("TESSLOW_DRIVES", "");
        wizard.GoTo(PageId::InsertDisc);
        ASSERT_TRUE(WaitFor([&] { return Label("searchStatus")->text() == "No CD or DVD drive was found."; }));
    }
    const std::filesystem::path later = wizard.sandbox.Root() / "later";
    std::filesystem::create_directories(later);
    const std::string sheet = (later / "disc.cue").string();
    test::ScopedEnv drives("TESSLOW_DRIVES", sheet.c_str());
    wizard.Click("next");
    ASSERT_TRUE(WaitFor([&] { return Label("searchStatus")->text().startsWith("No audio disc found"); }));
    test::WriteTestDisc(later, {.tracks = {{150}, {160}}});  // the disc goes in; nobody clicks
    ASSERT_TRUE(WaitFor([&] { return wizard.Current() == PageId::Tracks; }, 10000));
    EXPECT_EQ(wizard.state.job.driveKey, sheet);
}

TEST_P(DiscPages, BackDuringASlowSearchReturnsWithinAboutASecond)
{
    const auto slow = test::WriteTestDisc(wizard.sandbox.Root(), {.tracks = {{150}}, .conditions = {"DELAY 3000"}}, "slow");
    test::ScopedEnv drives("TESSLOW_DRIVES", slow.cue.c_str());
    wizard.GoTo(PageId::InsertDisc);
    QTest::qWait(100);  // the search is probing the slow drive
    const auto pressed = std::chrono::steady_clock::now();
    wizard.Click("back");
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 2s);
    EXPECT_EQ(wizard.Current(), PageId::Welcome);
}

TEST_P(DiscPages, RipAgainPromptsInsteadOfSearching)
{
    wizard.state.ripAgain = true;
    wizard.GoTo(PageId::InsertDisc);
    EXPECT_EQ(Label("searchStatus")->text(), "Please insert audio disc and click \"Next\".");
    EXPECT_TRUE(wizard.Usable("next"));
    EXPECT_FALSE(wizard.state.ripAgain);
}

TEST_P(DiscPages, TheChecksFollowTheUserOnAFourteenTrackDisc)
{
    WizardHarness long14(GetParam(), 14);
    ASSERT_TRUE(long14.GoToTracks());
    auto* list = long14.frame->findChild<QTreeWidget*>(QStringLiteral("trackList"));
    ASSERT_EQ(list->topLevelItemCount(), 14);
    auto row = [&](int i) { return list->topLevelItem(i); };
    EXPECT_EQ(row(0)->text(0), "1");
    EXPECT_EQ(row(0)->text(1), "Track 01");
    EXPECT_EQ(row(0)->text(3), "0:02");

    // Unchecking every row disables Next and Unmark all; Mark all brings them back.
    long14.Click("unmarkAll");
    EXPECT_FALSE(long14.Usable("next"));
    EXPECT_FALSE(long14.Usable("unmarkAll"));
    long14.Click("markAll");
    EXPECT_FALSE(long14.Usable("markAll"));
    row(2)->setCheckState(0, Qt::Unchecked);
    // The keyboard: Space on the current row.
    list->setFocus();
    list->setCurrentItem(row(5));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(row(5)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(long14.Usable("markAll") && long14.Usable("next"));

    // Back and on again with the same disc: the checks stay; Next records them.
    long14.Click("back");
    ASSERT_TRUE(long14.GoToTracks());
    EXPECT_EQ(row(2)->checkState(0), Qt::Unchecked);
    ASSERT_TRUE(long14.NextFromTracks());
    EXPECT_EQ(long14.Current(), PageId::Format);
    EXPECT_EQ(long14.state.choices.trackPositions.size(), 12u);
    EXPECT_EQ(long14.state.choices.trackPositions[2], 4u);

    // Another disc, with audio hidden before track 1: every track checked
    // again, the hidden track offered first, unchecked; checked, it is ripped first.
    const auto other =
        test::WriteTestDisc(long14.sandbox.Root(), {.tracks = {{.sectors = 312, .indexZero = 12}, {160}}}, "other");
    long14.state.job.driveKey = other.cue.string();
    ASSERT_TRUE(long14.GoToTracks());
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(row(0)->text(1), "Hidden track");
    EXPECT_EQ(row(0)->text(3), "0:00");
    EXPECT_EQ(row(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(row(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(row(2)->checkState(0), Qt::Checked);
    row(0)->setCheckState(0, Qt::Checked);
    ASSERT_TRUE(long14.NextFromTracks());
    EXPECT_EQ(long14.state.choices.trackPositions, (std::vector<std::uint32_t>{0, 1, 2}));
}

// However many tracks and however long their titles, a row shows its title
// beside its length, never scrolled sideways, with the whole title in a
// tooltip; accented capitals are not clipped.
TEST_P(DiscPages, RowsShowTitleAndLengthWithoutSidewaysScrolling)
{
    WizardHarness disc(GetParam(), 20);
    DiscRecord& record = (*disc.state.records)[disc.state.job.driveKey];
    AlbumInfo album;
    album.artist = "Ökotop";
    album.album = "Long Titles";
    for (int t = 1; t <= 20; ++t)
        album.trackTitles.push_back("Ökotop " + std::to_string(t) + ": a title far too long to fit in the row as "
                                    "it is, with more words after it than anyone reads");
    {
        TitleCache cache;
        cache.Store(DiscIdFromRawToc(record.rawToc), album);
        ASSERT_TRUE(cache.Write());
    }
    disc.GoTo(PageId::Tracks);
    auto* list = disc.frame->findChild<QTreeWidget*>(QStringLiteral("trackList"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItem(0)->text(1).startsWith("Ökotop"); }, 5000));
    EXPECT_EQ(disc.frame->findChild<QLabel*>(QStringLiteral("discNames"))->toolTip(), "Ökotop \u2014 Long Titles");
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    const int width = list->viewport()->width();
    for (int column : {0, 1, 3})
        EXPECT_LE(list->header()->sectionViewportPosition(column) + list->header()->sectionSize(column), width + 1)
            << "column " << column << " runs past the list";
    EXPECT_EQ(list->topLevelItem(19)->toolTip(1), QString::fromStdString(album.trackTitles[19]));
    EXPECT_FALSE(list->isColumnHidden(3));
    EXPECT_TRUE(list->isColumnHidden(2));  // no artist column for a disc of one artist
    const int ink = list->fontMetrics().boundingRect(QStringLiteral("Ökotop Åg")).height();
    EXPECT_GE(list->visualItemRect(list->topLevelItem(0)).height(), ink + 2);
}

TEST_P(DiscPages, TitlesFromTheCacheFillTheRowsAndTitlesAfterLeavingAreIgnored)
{
    DiscRecord& record = (*wizard.state.records)[wizard.state.job.driveKey];
    AlbumInfo album;
    album.artist = "The Testers";
    album.album = "Cached";
    album.trackTitles = {"Alpha", "Beta", "Gamma"};
    {
        TitleCache cache;
        cache.Store(DiscIdFromRawToc(record.rawToc), album);
        cache.Write();
    }
    // Left at once: the look-up runs on but its titles do not reach the list.
    wizard.GoTo(PageId::Tracks);
    wizard.Click("back");
    QTest::qWait(300);
    wizard.GoTo(PageId::Tracks);  // now they are there
    ASSERT_TRUE(WaitForStatus("Track titles have been successfully loaded."));
    EXPECT_EQ(List()->topLevelItem(1)->text(1), "Beta");
}

TEST_P(DiscPages, TitlesFromTheWebServiceFillTheRowsOrTheStatusSaysThereAreNone)
{
    DiscRecord& record = (*wizard.state.records)[wizard.state.job.driveKey];
    const std::string id = DiscIdFromRawToc(record.rawToc);
    test::TempDir root;
    const std::string release = "6f1c2a3e-1b7d-4d3c-9f2a-0c1e5b7a9d99";
    test::WriteFile(root / ("ws/2/discid/" + id + ".xml"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><metadata xmlns=\"http://musicbrainz.org/ns/mmd-2.0#\">"
                    "<disc id=\"" + id + "\"><release-list count=\"1\"><release id=\"" + release +
                    "\"><title>Online</title></release></release-list></disc></metadata>");
    std::string tracks;
    for (int t = 1; t <= 3; ++t) {
        tracks += "<track><position>" + std::to_string(t) + "</position><title>Web " + std::to_string(t) + "</title></track>";
    }
    test::WriteFile(root / ("ws/2/release/" + release + ".xml"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><metadata xmlns=\"http://musicbrainz.org/ns/mmd-2.0#\">"
                    "<release id=\"" + release + "\"><title>Online</title><medium-list count=\"1\"><medium>"
                    "<disc-list count=\"1\"><disc id=\"" + id + "\"/></disc-list><track-list count=\"3\" offset=\"0\">" +
                    tracks + "</track-list></medium></medium-list></release></metadata>");
    test::HttpFixtureServer server(root.Path());
    test::ScopedEnv url("TESSLOW_MUSICBRAINZ_URL", server.Url().c_str());
    test::ScopedEnv noProxy("no_proxy", "127.0.0.1");
    wizard.GoTo(PageId::Tracks);
    ASSERT_TRUE(WaitForStatus("Track titles have been successfully loaded.", 15000));
    EXPECT_EQ(List()->topLevelItem(2)->text(1), "Web 3");

    // A disc the service does not know.
    const auto unknown = test::WriteTestDisc(wizard.sandbox.Root(), {.tracks = {{170}, {180}}, .seed = 9}, "unknown");
    ProbeDisc(*wizard.state.records, unknown.cue.string());
    wizard.state.job.driveKey = unknown.cue.string();
    wizard.Click("back");
    wizard.GoTo(PageId::Tracks);
    EXPECT_TRUE(WaitForStatus("Track titles for this disc could not be found.", 15000));
}

TEST_P(DiscPages, PlayWithNothingChosenPlaysTrackOneIntoTrackTwoAndStopEndsIt)
{
    const auto disc = test::WriteTestDisc(wizard.sandbox.Root(), {.tracks = {{60}, {600}}}, "short");
    ProbeDisc(*wizard.state.records, disc.cue.string());
    wizard.state.job.driveKey = disc.cue.string();
    test::ScopedEnv audio("SDL_AUDIODRIVER", "disk");
    test::ScopedEnv file("SDL_DISKAUDIOFILE", (wizard.sandbox.Root() / "heard.raw").c_str());
    ASSERT_TRUE(wizard.GoToTracks());
    wizard.Click("unmarkAll");
    List()->clearSelection();
    List()->setCurrentItem(nullptr);
    auto* page = wizard.frame->findChild<TracksPage*>();
    wizard.Click("play");
    EXPECT_EQ(wizard.Button("play")->text(), "&Stop");
    EXPECT_EQ(page->PlayingSector(), disc.starts[0]);
    ASSERT_TRUE(WaitFor([&] { return Label("trackStatus")->text().startsWith("Playing Track 02 (0:0"); }, 8000));
    wizard.Click("play");  // Stop
    EXPECT_FALSE(page->Playing());
    EXPECT_EQ(wizard.Button("play")->text(), "&Play");
    EXPECT_EQ(Label("trackStatus")->text(), "");
}

TEST_P(DiscPages, PlayWithoutASoundOutputSaysSoAndReturnsToPlay)
{
    test::ScopedEnv audio("SDL_AUDIODRIVER", "no-such-driver");
    ASSERT_TRUE(wizard.GoToTracks());
    // The title look-up says its piece first.
    ASSERT_TRUE(WaitFor([&] { return !Label("trackStatus")->text().isEmpty(); }, 15000));
    wizard.Click("play");
    ASSERT_TRUE(WaitFor([&] { return wizard.Button("play")->text() == "&Play"; }, 5000));
    EXPECT_EQ(Label("trackStatus")->text(), "No sound output is available.");
}

TEST_P(DiscPages, ADiscChangedWhileTheTracksWereShownIsNoticedOnNext)
{
    ASSERT_TRUE(wizard.GoToTracks());
    // Another disc in the same drive.
    test::WriteTestDisc(wizard.sandbox.Root(), {.tracks = {{200}, {210}, {220}, {230}}});
    wizard.Click("next");
    const QString said = test::AcceptMessageBoxesUntil([&] { return wizard.Current() != PageId::Tracks; });
    EXPECT_TRUE(said.startsWith("The disc in the drive has been taken out or changed.")) << said.toStdString();
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, DiscPages, ::testing::Values(SkinKind::Aero, SkinKind::Classic),
                         test::SkinName);

// The welcome page's box: SkipFirst is written on Next only when ticked.
TEST(WelcomePage, DontShowAgainWritesSkipFirstOnNext)
{
    WizardHarness wizard(SkinKind::Aero);
    wizard.Click("next");
    EXPECT_EQ(Settings().SkipFirst, 0u);
    wizard.GoTo(PageId::Welcome);
    wizard.frame->findChild<QCheckBox*>(QStringLiteral("dontShowAgain"))->setChecked(true);
    wizard.Click("next");
    EXPECT_EQ(Settings().SkipFirst, 1u);
}

}  // namespace
}  // namespace tesslow
