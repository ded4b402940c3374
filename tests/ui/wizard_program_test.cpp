#include "support/recording_shell.h"
#include "app/settings.h"
#include "support/temp_dir.h"
#include "ui/guarded_application.h"
#include "ui/page_id.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_program.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace tesslow {
namespace {

GuardedApplication& Application() { return *static_cast<GuardedApplication*>(QApplication::instance()); }

bool AnyWindowShown()
{
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) return true;
    }
    return false;
}

// The start-up sequence, its boxes and its exit code.
class WizardProgram : public ::testing::Test {
protected:
    // Runs the program with `run` in place of running the wizard; returns
    // the exit code. Boxes are recorded with whether a window was shown.
    int Run(std::function<void(WizardFrame&)> run)
    {
        WizardProgramHooks hooks;
        hooks.showError = [this](const std::string& text) {
            boxes.push_back(text);
            windowShownAtBox = AnyWindowShown();
        };
        hooks.run = std::move(run);
        hooks.shell = &shell;
        return RunWizardProgram(Application(), hooks);
    }

    test::UserSandbox sandbox;
    test::RecordingShell shell;
    std::vector<std::string> boxes;
    bool windowShownAtBox = false;
};

TEST_F(WizardProgram, WithoutAProperInstallationOnlyTheBoxIsShown)
{
    // A machine store that lacks MailURL comes first in XDG_CONFIG_DIRS.
    test::WriteFile(sandbox.ConfigDirs() / "Corvalen" / "tesslow" / "machine.reg",
                    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvalen\\tesslow]\r\n"
                    "\"AppPath\"=\"/opt/tesslow\"\r\n\"HomeURL\"=\"https://tesslow.example.org/\"\r\n");
    bool ran = false;
    EXPECT_EQ(Run([&](WizardFrame&) { ran = true; }), 0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(boxes, std::vector<std::string>{"Tesslow is not properly installed.\n\nPlease, reinstall Tesslow. If "
                                              "problem persists, contact Corvalen support."});
    EXPECT_FALSE(windowShownAtBox);
}

TEST_F(WizardProgram, EveryFailureEndsInItsBoxAndExitCodeZero)
{
    struct Case {
        std::function<void()> fail;
        const char* box;
    };
    const Case cases[] = {
        {[] { throw std::runtime_error("The drive caught fire."); }, "The drive caught fire."},
        {[] { throw std::bad_alloc(); }, "Out of memory."},
        {[] { throw 42; }, "Unhandled exception."},
    };
    for (const Case& c : cases) {
        boxes.clear();
        EXPECT_EQ(Run([&](WizardFrame&) { c.fail(); }), 0);
        EXPECT_EQ(boxes, std::vector<std::string>{c.box});
    }
}

TEST_F(WizardProgram, AnExceptionEscapingAPageWhileTheWizardRunsClosesItIntoTheBox)
{
    EXPECT_EQ(Run([](WizardFrame& frame) {
                  QTimer::singleShot(0, &frame, [] { throw std::logic_error("a page's bug"); });
                  frame.exec();
              }),
              0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Unhandled exception."});
    EXPECT_FALSE(AnyWindowShown());
}

TEST_F(WizardProgram, AWizardClosedByTheUserEndsQuietly)
{
    EXPECT_EQ(Run([](WizardFrame& frame) {
                  QTimer::singleShot(0, &frame, [&frame] { frame.reject(); });
                  frame.exec();
              }),
              0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(AnyWindowShown());
}

// Once "Don't show this page again" was ticked, the wizard opens on the
// insert-disc page, with no Back to the welcome.
TEST_F(WizardProgram, TheWelcomePageIsSkippedOnceTheUserAskedForIt)
{
    for (const bool skip : {false, true}) {
        if (skip) Settings().WriteSkipFirst();
        PageId first = PageId::Final;
        EXPECT_EQ(Run([&](WizardFrame& frame) {
                      first = static_cast<PageId>(frame.CurrentIndex());
                      frame.Abandon();
                  }),
                  0);
        EXPECT_EQ(first, skip ? PageId::InsertDisc : PageId::Welcome);
    }
}

TEST_F(WizardProgram, ASettingsFileKeptAsideIsMentionedOnceInANoteThatDoesNotBlock)
{
    test::WriteFile(sandbox.UserStore(), std::string("\x01\x02 not a store"));
    QString note;
    EXPECT_EQ(Run([&](WizardFrame& frame) {
                  QTimer::singleShot(50, &frame, [&] {
                      if (auto* box = frame.findChild<QMessageBox*>(QStringLiteral("keptAsideNote"))) {
                          note = box->isVisible() && !box->isModal() ? box->text() : QStringLiteral("blocking");
                      }
                      frame.Abandon();
                  });
                  frame.exec();
              }),
              0);
    EXPECT_TRUE(note.startsWith(QStringLiteral("Your settings could not be read"))) << note.toStdString();
}

}  // namespace
}  // namespace tesslow
