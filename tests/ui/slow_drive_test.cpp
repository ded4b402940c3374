#include "support/paint_counter.h"
#include "support/test_disc.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace tesslow {
namespace {

using test::WizardHarness;

using test::PaintCounter;

// The wizard over a drive that answers every command 3 seconds late.
class SlowDrive : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The same disc, so it reads as unchanged; from now on the drive is slow.
        test::WriteTestDisc(wizard.sandbox.Root(), {.tracks = {{150}, {160}, {170}}, .conditions = {"DELAY 3000"}});
    }

    template <typename Widget>
    Widget* Find(const char* name)
    {
        return wizard.frame->findChild<Widget*>(QString::fromLatin1(name));
    }
    TracksPage* Tracks() { return wizard.frame->findChild<TracksPage*>(); }

    // While the page waits for the drive, the event loop goes on turning: a
    // posted call runs and the page is painted again, and it still waits.
    void ExpectTheWindowLivesWhile(const std::function<bool()>& waiting)
    {
        ASSERT_TRUE(waiting());
        bool called = false;
        QTimer::singleShot(0, [&called] { called = true; });
        PaintCounter counter;
        QWidget* page = wizard.frame->CurrentPage();
        page->installEventFilter(&counter);
        page->update();
        EXPECT_TRUE(QTest::qWaitFor([&] { return (called && counter.paints > 0) || !waiting(); }, 10000));
        page->removeEventFilter(&counter);
        EXPECT_TRUE(called);
        EXPECT_GT(counter.paints, 0);
        EXPECT_TRUE(waiting()) << "the drive answered before the window was seen to live";
    }

    WizardHarness wizard{SkinKind::Aero};
};

TEST_F(SlowDrive, TheTracksPageShowsItReadsTheDiscWhileTheWindowLivesAndGoesOnWhenTheDriveAnswers)
{
    wizard.GoTo(PageId::Tracks);
    auto* list = Find<QTreeWidget>("trackList");
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(list->topLevelItemCount(), 3);  // the disc as the search found it
    EXPECT_EQ(Find<QLabel>("trackStatus")->text(), "Reading the disc...");
    EXPECT_FALSE(wizard.Usable("next"));
    EXPECT_TRUE(wizard.Usable("back"));
    ExpectTheWindowLivesWhile([&] { return Tracks()->Reading(); });
    ASSERT_TRUE(wizard.WaitForTracksRead());
    EXPECT_TRUE(list->isEnabled());
    EXPECT_TRUE(wizard.Usable("next"));

    // Next reads the disc again before the page goes on.
    wizard.Click("next");
    EXPECT_EQ(wizard.Current(), PageId::Tracks);
    EXPECT_FALSE(wizard.Usable("next"));
    ExpectTheWindowLivesWhile([&] { return Tracks()->Reading(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return wizard.Current() == PageId::Format; }, 15000));
}

TEST_F(SlowDrive, TheReadyPagesOptionsAskTheDrivesModelWhileTheWindowLives)
{
    wizard.GoTo(PageId::Ready);
    auto* options = Find<QPushButton>("optionsButton");
    bool opened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&opened] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("optionsDialog") || !dialog->isVisible()) return;
        opened = true;
        dialog->reject();
    });
    watch.start(20);
    options->click();
    ExpectTheWindowLivesWhile([&] { return !options->isEnabled(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 15000));
    EXPECT_TRUE(options->isEnabled());
}

// Back, and Cancel, while the drive has not answered: the page goes at once,
// and the answer that comes later is dropped with it.
TEST_F(SlowDrive, LeavingWhileTheDriveHasNotAnsweredNeverWaitsForIt)
{
    wizard.GoTo(PageId::Tracks);
    ASSERT_TRUE(Tracks()->Reading());
    wizard.Click("back");
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
    EXPECT_FALSE(Tracks()->Reading());

    ASSERT_TRUE(wizard.GoToTracks());
    wizard.Click("next");
    ASSERT_TRUE(Tracks()->Reading());
    wizard.Click("cancel");
    EXPECT_FALSE(wizard.frame->isVisible());
    EXPECT_FALSE(Tracks()->Reading());
}

}  // namespace
}  // namespace tesslow
