#include "ui/controls/task_dialog.h"
#include "ui/overwrite_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <QScreen>

#include <atomic>
#include <thread>

namespace tesslow {
namespace {

using task::Notification;

// Runs a task dialog whose user does `act` once it is shown, recording the
// notifications; `answer` gives the callback's answers.
struct Shown {
    TaskDialogResult result;
    std::vector<std::pair<Notification, std::uintptr_t>> notes;
};
Shown Show(TaskDialogConfig config, std::function<void(TaskDialog&)> act,
         std::function<long(Notification, std::uintptr_t)> answer = {})
{
    Shown run;
    config.callback = [&](TaskDialog& dialog, Notification note, std::uintptr_t w, std::intptr_t) -> long {
        run.notes.emplace_back(note, w);
        if (note == Notification::Created) QTimer::singleShot(0, &dialog, [&dialog, act] { act(dialog); });
        return answer ? answer(note, w) : 0;
    };
    run.result = ShowTaskDialog(config);
    return run;
}

template <typename Widget>
Widget* Find(TaskDialog& dialog, const char* name)
{
    return dialog.findChild<Widget*>(QString::fromLatin1(name));
}

bool Noted(const Shown& run, Notification note, std::uintptr_t w)
{
    return std::find(run.notes.begin(), run.notes.end(), std::pair{note, w}) != run.notes.end();
}

TEST(TaskDialog, ConfigurationsThatFailTheChecksShowNothing)
{
    TaskDialogConfig tooMany;
    for (int i = 0; i < 21; ++i) tooMany.buttons.push_back({100 + i, QStringLiteral("B")});
    TaskDialogConfig tooManyRadios;
    for (int i = 0; i < 21; ++i) tooManyRadios.radioButtons.push_back({200 + i, QStringLiteral("R")});
    TaskDialogConfig linksWithoutButtons;
    linksWithoutButtons.flags = task::kUseCommandLinks;
    for (const TaskDialogConfig& config : {tooMany, tooManyRadios, linksWithoutButtons}) {
        bool called = false;
        TaskDialogConfig watched = config;
        watched.callback = [&](TaskDialog&, Notification, std::uintptr_t, std::intptr_t) -> long {
            called = true;
            return 0;
        };
        const TaskDialogResult result = ShowTaskDialog(watched);
        EXPECT_FALSE(result.shown);
        EXPECT_EQ(result.button, task::kIdCancel);
        EXPECT_FALSE(called);
    }
}

TEST(TaskDialog, WithoutButtonsItOffersOneOkAndNotifiesFromConstructionToDestruction)
{
    TaskDialogConfig config;
    config.mainInstruction = QStringLiteral("Done.");
    int buttons = -1;
    const Shown run = Show(config, [&](TaskDialog& dialog) {
        buttons = static_cast<int>(dialog.findChildren<QPushButton*>().size());
        Find<QPushButton>(dialog, "okButton")->click();
    });
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(run.result.shown);
    EXPECT_EQ(run.result.button, task::kIdOk);
    ASSERT_EQ(run.notes.size(), 4u);
    EXPECT_EQ(run.notes[0].first, Notification::DialogConstructed);
    EXPECT_EQ(run.notes[1].first, Notification::Created);
    EXPECT_EQ(run.notes[2], std::pair(Notification::ButtonClicked, std::uintptr_t(task::kIdOk)));
    EXPECT_EQ(run.notes[3].first, Notification::Destroyed);
}

TEST(TaskDialog, DefaultsRadiosVerificationAndAButtonTheCallbackKeepsOpen)
{
    TaskDialogConfig config;
    config.flags = task::kVerificationFlagChecked;
    config.commonButtons = task::kYesButton | task::kNoButton;
    config.defaultButton = task::kIdNo;
    config.radioButtons = {{301, QStringLiteral("One")}, {302, QStringLiteral("Two")}};
    config.defaultRadioButton = 302;
    config.verificationText = QStringLiteral("Remember");
    bool noIsDefault = false, verificationShownChecked = false, stayedOpen = false;
    const Shown run = Show(
        config,
        [&](TaskDialog& dialog) {
            noIsDefault = Find<QPushButton>(dialog, "noButton")->isDefault();
            verificationShownChecked = Find<QCheckBox>(dialog, "verification")->isChecked();
            Find<QRadioButton>(dialog, "radio301")->click();
            Find<QCheckBox>(dialog, "verification")->click();
            dialog.ClickButton(task::kIdYes);  // answered "don't close"
            stayedOpen = dialog.isVisible();
            Find<QPushButton>(dialog, "noButton")->click();
        },
        [](Notification note, std::uintptr_t w) { return note == Notification::ButtonClicked && w == task::kIdYes ? 1 : 0; });
    EXPECT_TRUE(noIsDefault);
    EXPECT_TRUE(verificationShownChecked);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(run.result.button, task::kIdNo);
    EXPECT_EQ(run.result.radioButton, 301);
    EXPECT_FALSE(run.result.verificationChecked);
    EXPECT_TRUE(Noted(run, Notification::RadioButtonClicked, 302));  // the default, clicked at the start
    EXPECT_TRUE(Noted(run, Notification::RadioButtonClicked, 301));
    EXPECT_TRUE(Noted(run, Notification::VerificationClicked, 0));
}

TEST(TaskDialog, TheExpandoShowsAndHidesTheDetailsAndTheTimerTicks)
{
    TaskDialogConfig config;
    config.flags = task::kCallbackTimer;
    config.expandedInformation = QStringLiteral("Sector 1234 could not be read.");
    bool hiddenAtFirst = false, shownAfterToggle = false;
    QString collapsedLabel, expandedLabel;
    const Shown run = Show(config, [&](TaskDialog& dialog) {
        auto* expando = Find<QToolButton>(dialog, "expandoButton");
        collapsedLabel = expando->text();
        hiddenAtFirst = !Find<QLabel>(dialog, "expandedInformation")->isVisible();
        expando->click();
        shownAfterToggle = Find<QLabel>(dialog, "expandedInformation")->isVisible();
        expandedLabel = expando->text();
        QTimer::singleShot(450, &dialog, [&dialog] { dialog.ClickButton(task::kIdOk); });
    });
    EXPECT_TRUE(hiddenAtFirst);
    EXPECT_TRUE(shownAfterToggle);
    EXPECT_EQ(collapsedLabel, "Show details");
    EXPECT_EQ(expandedLabel, "Hide details");
    EXPECT_TRUE(Noted(run, Notification::ExpandoButtonClicked, 1));
    EXPECT_TRUE(std::any_of(run.notes.begin(), run.notes.end(), [](const auto& note) {
        return note.first == Notification::Timer && note.second >= 150;
    }));
}

TEST(TaskDialog, EscapeAndTheCloseBoxCancelOnlyWhereCancellingIsAllowed)
{
    for (const bool allowed : {false, true}) {
        TaskDialogConfig config;
        config.commonButtons = task::kOkButton;
        if (allowed) config.flags = task::kAllowDialogCancellation;
        bool openAfterEscape = false, openAfterClose = false;
        const Shown run = Show(config, [&](TaskDialog& dialog) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            openAfterEscape = dialog.isVisible();
            dialog.close();
            openAfterClose = dialog.isVisible();
            if (dialog.isVisible()) dialog.ClickButton(task::kIdOk);
        });
        SCOPED_TRACE(allowed);
        EXPECT_EQ(openAfterEscape, !allowed);
        EXPECT_EQ(openAfterClose, !allowed);
        EXPECT_EQ(run.result.button, allowed ? task::kIdCancel : task::kIdOk);
    }
}

// Without a configured default, Enter takes the first button of the row
// (Yes, though Cancel has the lower id); a dialog is centred over its owner
// only when asked to be, else on the screen.
TEST(TaskDialog, TheDefaultIsTheRowsFirstButtonAndOnlyARelativeDialogSitsOverItsOwner)
{
    QWidget owner;
    owner.setGeometry(20, 30, 300, 200);
    owner.show();
    for (const bool relative : {false, true}) {
        SCOPED_TRACE(relative);
        TaskDialogConfig config;
        config.parent = &owner;
        config.commonButtons = task::kYesButton | task::kCancelButton;
        if (relative) config.flags = task::kPositionRelativeToWindow;
        QPoint centre;
        const Shown run = Show(config, [&](TaskDialog& dialog) {
            centre = dialog.frameGeometry().center();
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        EXPECT_EQ(run.result.button, task::kIdYes);
        const QPoint expected = relative ? owner.frameGeometry().center() : owner.screen()->availableGeometry().center();
        EXPECT_LE((centre - expected).manhattanLength(), 4) << centre.x() << "," << centre.y();
    }
}

TEST(TaskDialog, CommandLinksAnswerWithTheirIdsAndNavigationShowsTheNextPage)
{
    TaskDialogConfig second;
    second.mainInstruction = QStringLiteral("Second");
    second.commonButtons = task::kCloseButton;
    TaskDialogConfig first;
    first.flags = task::kUseCommandLinks;
    first.buttons = {{501, QStringLiteral("Go on\nto the next page")}, {502, QStringLiteral("Stop")}};
    std::vector<Notification> seen;
    first.callback = [&](TaskDialog& dialog, Notification note, std::uintptr_t w, std::intptr_t) -> long {
        seen.push_back(note);
        if (note == Notification::Created) {
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.findChild<QAbstractButton*>(QStringLiteral("button501"))->click(); });
        }
        if (note == Notification::ButtonClicked && w == 501) {
            TaskDialogConfig next = second;
            next.callback = [&](TaskDialog& shown, Notification later, std::uintptr_t, std::intptr_t) -> long {
                seen.push_back(later);
                if (later == Notification::Navigated) {
                    QTimer::singleShot(0, &shown, [&shown] { shown.ClickButton(task::kIdClose); });
                }
                return 0;
            };
            dialog.NavigatePage(next);
            return 1;
        }
        return 0;
    };
    const TaskDialogResult result = ShowTaskDialog(first);
    EXPECT_EQ(result.button, task::kIdClose);
    EXPECT_NE(std::find(seen.begin(), seen.end(), Notification::Navigated), seen.end());
}

TEST(TaskDialog, ItsMessagesChangeButtonsRadiosTextsAndTheProgressBar)
{
    TaskDialogConfig config;
    config.flags = task::kShowProgressBar;
    config.commonButtons = task::kOkButton | task::kRetryButton;
    config.radioButtons = {{401, QStringLiteral("A")}, {402, QStringLiteral("B")}};
    config.mainInstruction = QStringLiteral("Reading");
    QStringList seen;
    Show(config, [&](TaskDialog& dialog) {
        dialog.EnableButton(task::kIdRetry, false);
        dialog.EnableRadioButton(402, false);
        dialog.SetProgressBarRange(0, 10);
        const int before = dialog.SetProgressBarPos(4);
        const int previous = dialog.SetProgressBarPos(7);
        dialog.SetElementText(task::Element::MainInstruction, QStringLiteral("Writing"));
        dialog.UpdateElementText(task::Element::Content, QStringLiteral("Track 3 of 9"));
        seen << (Find<QPushButton>(dialog, "retryButton")->isEnabled() ? "retry on" : "retry off")
             << (Find<QRadioButton>(dialog, "radio402")->isEnabled() ? "B on" : "B off")
             << QString::number(before) << QString::number(previous)
             << QString::number(Find<QProgressBar>(dialog, "progressBar")->value())
             << Find<QLabel>(dialog, "mainInstruction")->text() << Find<QLabel>(dialog, "content")->text();
        dialog.ClickButton(task::kIdOk);
    });
    EXPECT_EQ(seen, (QStringList{"retry off", "B off", "0", "4", "7", "Writing", "Track 3 of 9"}));
}

// The existing-file question, asked from a worker thread as the rip asks it.
TEST(OverwriteQuestion, AsksAboutThePathAndRemembersTheChoiceWhenTicked)
{
    QWidget page;
    WizardOverwriteQuestion question(&page);
    struct Case {
        const char* press;
        bool remember;
        OverwriteQuestion::Answer answer;
    };
    for (const Case c : {Case{"noButton", true, OverwriteQuestion::Answer::Skip},
                         Case{"yesButton", false, OverwriteQuestion::Answer::Overwrite}}) {
        // The user, acting from inside the dialog's own event loop.
        QStringList seen;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            user.stop();
            seen << dialog->windowTitle() << Find<QLabel>(*dialog, "mainInstruction")->text()
                 << Find<QLabel>(*dialog, "content")->text() << Find<QCheckBox>(*dialog, "verification")->text()
                 << (Find<QCheckBox>(*dialog, "verification")->isChecked() ? "ticked" : "clear");
            if (c.remember) Find<QCheckBox>(*dialog, "verification")->click();
            Find<QPushButton>(*dialog, c.press)->click();
        });
        user.start(10);
        OverwriteQuestion::Reply reply;
        std::atomic<bool> answered{false};
        std::thread worker([&] {
            reply = question.Ask("/home/me/Music/01 Intro.flac");
            answered = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered.load(); }));
        worker.join();
        EXPECT_EQ(seen, (QStringList{"Tesslow", "The target file already exists. Do you wish to overwrite?",
                                     "/home/me/Music/01 Intro.flac", "Remember my choice for all files", "clear"}));
        EXPECT_EQ(reply.answer, c.answer);
        EXPECT_EQ(reply.rememberForAllFiles, c.remember);
    }
}

}  // namespace
}  // namespace tesslow
