#include "app/settings.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "ui/controls/pictures.h"
#include "ui/controls/task_dialog.h"
#include "ui/pages/progress_page.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::WizardHarness;

// The whole wizard over an emulated disc named from the title cache, worked
// with the keyboard as a person without a mouse would.
class RipPages : public ::testing::TestWithParam<SkinKind> {
protected:
    template <typename Widget>
    Widget* Find(const char* name)
    {
        return wizard.frame->findChild<Widget*>(QString::fromLatin1(name));
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(wizard.frame->windowHandle(), key, modifiers);
        QTest::qWait(modifiers == Qt::AltModifier ? 250 : 10);
    }

    bool WaitForPage(PageId page, int ms = 20000)
    {
        return QTest::qWaitFor([&] { return wizard.Current() == page; }, ms);
    }

    // A disc of three tracks in the emulated drive, named in the title cache.
    void Insert(std::vector<std::string> conditions = {}, std::vector<std::int32_t> lengths = {150, 160, 170})
    {
        test::TestDisc testDisc{.conditions = std::move(conditions)};
        for (std::int32_t sectors : lengths) testDisc.tracks.push_back({sectors});
        disc = test::WriteTestDisc(wizard.sandbox.Root(), testDisc, "rip");
        DiscRecords records;
        ProbeDisc(records, disc.cue.string());
        AlbumInfo album;
        album.artist = "The Testers";
        album.album = "Wizard Rip";
        album.year = "2026";
        album.trackTitles = {"First", "Second", "Third"};
        TitleCache cache;
        cache.Store(DiscIdFromRawToc(records[disc.cue.string()].rawToc), album);
        cache.Write();
        wizard.state.job.driveKey.clear();
        drives = std::make_unique<test::ScopedEnv>("TESSLOW_DRIVES", disc.cue.c_str());
        Settings settings;
        settings.WriteLastFolder(out.string());
        settings.WriteSubfolders(true, true, false);
        settings.WriteLastFormat(FormatCode::Flac);
    }

    // From the insert-disc page to the final page with the keyboard:
    // tracks 1 and 3, FLAC, the folder of the settings.
    void RipToTheEnd(const std::function<void()>& duringRip = {})
    {
        ASSERT_TRUE(WaitForPage(PageId::Tracks));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QLabel>("trackStatus")->text().contains("loaded"); }, 5000));
        Find<QTreeWidget>("trackList")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        Key(Qt::Key_Return);  // tracks → format, once the drive has said it is the same disc
        ASSERT_TRUE(WaitForPage(PageId::Format));
        EXPECT_TRUE(Find<QRadioButton>("formatFlac")->isChecked());
        Key(Qt::Key_Return);  // format → destination (no quality for FLAC)
        ASSERT_EQ(wizard.Current(), PageId::Destination);
        Key(Qt::Key_Return);  // destination → ready
        ASSERT_EQ(wizard.Current(), PageId::Ready);
        Key(Qt::Key_Return);  // ready → progress (a short rip may be over already)
        ASSERT_TRUE(wizard.Current() == PageId::Progress || wizard.Current() == PageId::Final);
        if (duringRip) duringRip();
        ASSERT_TRUE(WaitForPage(PageId::Final, 30000));
    }

    fs::path Track(int number, const char* title) const
    {
        return out / "The Testers" / "Wizard Rip" / ("The Testers - [0" + std::to_string(number) + "] " + title + ".flac");
    }

    // The audio of a FLAC file, decoded by the reference decoder.
    std::string Decoded(const fs::path& file) const
    {
        const auto result = test::RunProgram("/usr/bin/flac", {"-d", "-s", "-c", "--force-raw-format", "--endian=little",
                                                               "--sign=signed", file.string()});
        return result.out;
    }

    WizardHarness wizard{GetParam()};
    fs::path out = wizard.sandbox.Root() / "out";
    test::WrittenDisc disc;
    std::unique_ptr<test::ScopedEnv> drives;
};

TEST_P(RipPages, TheWholeWizardRipsTwoTracksAndRipMoreSkipsThemWhenToldToRememberNo)
{
    Insert();
    Key(Qt::Key_Return);  // welcome → insert disc
    RipToTheEnd();
    EXPECT_EQ(wizard.frame->CurrentPage()->Title(), "Completing Tesslow");
    EXPECT_TRUE(Find<QLabel>("outcomePicture")->isVisible()) << wizard.state.errorText;
    ASSERT_TRUE(fs::exists(Track(1, "First")));
    EXPECT_FALSE(fs::exists(Track(2, "Second")));
    ASSERT_TRUE(fs::exists(Track(3, "Third")));
    EXPECT_EQ(Decoded(Track(1, "First")), test::DiscBytes(disc, disc.starts[0], 150));
    EXPECT_EQ(Decoded(Track(3, "Third")), test::DiscBytes(disc, disc.starts[2], 170));
    const auto tags = test::RunProgram("/usr/bin/metaflac", {"--show-tag=TITLE", "--show-tag=ARTIST", Track(3, "Third").string()});
    EXPECT_EQ(tags.out, "TITLE=Third\nARTIST=The Testers\n");

    // Rip more: back to the prompt, then the same disc again; the question
    // comes for the first file, "Remember my choice" and No skip both.
    wizard.Click(GetParam() == SkinKind::Classic ? "next" : "finish");
    ASSERT_EQ(wizard.Current(), PageId::InsertDisc);
    EXPECT_EQ(Find<QLabel>("searchStatus")->text(), "Please insert audio disc and click \"Next\".");
    int questions = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        ++questions;
        dialog->findChild<QCheckBox*>(QStringLiteral("verification"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("noButton"))->click();
    });
    user.start(20);
    Key(Qt::Key_Return);  // searches
    RipToTheEnd();
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(Find<QPlainTextEdit>("errorList")->isVisible());
    EXPECT_FALSE(Find<QLabel>("outcomePicture")->isVisible());
    EXPECT_EQ(Find<QPlainTextEdit>("errorList")->toPlainText().count("file skipped"), 2)
        << Find<QPlainTextEdit>("errorList")->toPlainText().toStdString();
}

TEST_P(RipPages, CancelConfirmedMidRipEndsCanceledWithoutAPartialFileEvenWhenTheDriveBlocks)
{
    Insert({"DELAY 40"}, {600, 600, 600});  // slow reads: the rip takes a while
    // A file of an earlier rip, which the user agrees to replace.
    fs::create_directories(Track(1, "First").parent_path());
    test::WriteFile(Track(1, "First"), "an earlier rip's file");
    bool replaced = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget());
        if (replaced || !dialog || !dialog->isVisible() ||
            !dialog->findChild<QLabel*>(QStringLiteral("mainInstruction"))->text().contains("already exists"))
            return;
        replaced = true;
        dialog->findChild<QPushButton*>(QStringLiteral("yesButton"))->click();
    });
    user.start(20);
    Key(Qt::Key_Return);
    std::chrono::steady_clock::time_point yes;
    QString statusAfterNo;
    RipToTheEnd([&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return replaced && Find<QLabel>("ripStatus")->text().startsWith("01"); }, 10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !QApplication::activeModalWidget(); }, 5000));
        // No first: the rip goes on and the status line stays.
        QTimer::singleShot(50, [&] {
            if (auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget())) {
                EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("mainInstruction"))->text(), "Are you sure?");
                dialog->findChild<QPushButton*>(QStringLiteral("noButton"))->click();
            }
        });
        const QString before = Find<QLabel>("ripStatus")->text();
        Key(Qt::Key_Escape);
        statusAfterNo = Find<QLabel>("ripStatus")->text();
        EXPECT_EQ(statusAfterNo, before);
        EXPECT_EQ(wizard.Current(), PageId::Progress);
        // Then Yes, through the close box.
        QTimer::singleShot(50, [&] {
            if (auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget())) {
                yes = std::chrono::steady_clock::now();
                dialog->findChild<QPushButton*>(QStringLiteral("yesButton"))->click();
            }
        });
        wizard.frame->close();
        EXPECT_TRUE(wizard.frame->isVisible());
        // While "Canceling..." shows, Cancel asks again.
        bool askedAgain = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            watch.stop();
            askedAgain = dialog->findChild<QLabel*>(QStringLiteral("mainInstruction"))->text() == "Are you sure?";
            dialog->findChild<QPushButton*>(QStringLiteral("noButton"))->click();
        });
        watch.start(20);
        Key(Qt::Key_Escape);
        watch.stop();
        EXPECT_TRUE(askedAgain);
    });
    EXPECT_LT(std::chrono::steady_clock::now() - yes, 7s);
    EXPECT_EQ(wizard.frame->CurrentPage()->Title(), "Canceled");
    // No tick for a canceled rip.
    const auto argb = [](const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); };
    const QImage shown = argb(Find<QLabel>("outcomePicture")->pixmap().toImage());
    EXPECT_TRUE(shown == argb(LoadPicture(kFinalPictureWithoutTick)));
    EXPECT_FALSE(shown == argb(LoadPicture(kFinalPicture)));
    // The old file is replaced only by a complete one: it is still there, and
    // nothing else is, hidden or not, but the log of the canceled rip.
    EXPECT_EQ(test::ReadFile(Track(1, "First")), "an earlier rip's file");
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Track(1, "First").parent_path()))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"The Testers - Wizard Rip.log", Track(1, "First").filename().string()}));
    EXPECT_NE(test::ReadFile(Track(1, "First").parent_path() / "The Testers - Wizard Rip.log")
                  .find("Health status: \"The rip was canceled\""),
              std::string::npos);
}

TEST_P(RipPages, AScratchedTrackEndsWithItsLineInTheErrorListAndTheNotesAndWhatAccurateRipSaidUnderTheText)
{
    Insert({"UNREADABLE 330 334"});  // inside track 3
    // A database of the test's own that does not know the disc.
    test::TempDir databaseRoot;
    test::HttpFixtureServer database(databaseRoot.Path());
    test::ScopedEnv url("TESSLOW_ACCURATERIP_URL", database.Url().c_str());
    Key(Qt::Key_Return);
    RipToTheEnd();
    EXPECT_EQ(wizard.frame->CurrentPage()->Title(), "Completing Tesslow");
    ASSERT_TRUE(Find<QPlainTextEdit>("errorList")->isVisible());
    EXPECT_TRUE(Find<QPlainTextEdit>("errorList")->toPlainText().startsWith("The Testers - [03] Third.flac: "))
        << Find<QPlainTextEdit>("errorList")->toPlainText().toStdString();
    EXPECT_TRUE(Find<QLabel>("accuracyLine")->isVisible());
    EXPECT_EQ(Find<QLabel>("accuracyLine")->text(), "AccurateRip: this disc is not in the database.");
    EXPECT_EQ(database.Requests().size(), 1u);
    // The drive's read offset could not be found with this disc, and the page says so.
    EXPECT_TRUE(Find<QLabel>("ripNotes")->isVisible());
    EXPECT_TRUE(Find<QLabel>("ripNotes")->text().startsWith("The read offset of this drive is not known yet"))
        << Find<QLabel>("ripNotes")->text().toStdString();
}

// A rip where every chosen track fails does not say it succeeded.
TEST_P(RipPages, ARipThatMadeNoFileSaysNoTracksWereRipped)
{
    Insert({"UNREADABLE 0 479"});  // the whole disc, read without jitter correction
    Key(Qt::Key_Return);
    RipToTheEnd();
    EXPECT_TRUE(Find<QLabel>("outcomeText")->text().startsWith("No tracks were ripped. See list below."))
        << Find<QLabel>("outcomeText")->text().toStdString();
    EXPECT_TRUE(Find<QPlainTextEdit>("errorList")->isVisible());
    EXPECT_FALSE(Find<QLabel>("outcomePicture")->isVisible());
}

INSTANTIATE_TEST_SUITE_P(BothSkins, RipPages, ::testing::Values(SkinKind::Aero, SkinKind::Classic),
                         test::SkinName);

}  // namespace
}  // namespace tesslow
