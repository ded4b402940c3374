#include "app/settings.h"
#include "ui/help.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tesslow {
namespace {

using test::WizardHarness;

class Keyboard : public ::testing::TestWithParam<SkinKind> {
protected:
    // A key pressed on the keyboard: through the window, as the system
    // delivers it. A mnemonic clicks its button with a short animation, so
    // the events run on for a moment.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(wizard.frame->windowHandle(), key, modifiers);
        QTest::qWait(modifiers == Qt::AltModifier ? 250 : 0);
    }

    WizardHarness wizard{GetParam()};
};

TEST_P(Keyboard, AltNAltBEnterAndEscapeWorkTheWizardWithoutAMouse)
{
    Key(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
    Key(Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(wizard.Current(), PageId::Welcome);
    Key(Qt::Key_Return);  // the default button is Next
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
    Settings().WriteLastFormat(FormatCode::Flac);
    wizard.GoTo(PageId::Format);
    Key(Qt::Key_Enter);
    EXPECT_EQ(wizard.Current(), PageId::Destination);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(wizard.frame->isVisible());
}

TEST_P(Keyboard, EveryButtonCanBeReachedWithTab)
{
    ASSERT_TRUE(wizard.GoToTracks());
    std::set<QString> reached;
    for (int i = 0; i < 12; ++i) {
        Key(Qt::Key_Tab);
        if (QWidget* focus = QApplication::focusWidget()) reached.insert(focus->objectName());
    }
    for (const char* name : {"backButton", "nextButton", "cancelButton"}) EXPECT_TRUE(reached.count(name)) << name;
    if (GetParam() == SkinKind::Classic) {
        EXPECT_TRUE(reached.count("helpButton"));
    }
}

TEST_P(Keyboard, F1AndHelpOpenThePagesHelpContextAndNothingWithoutOne)
{
    const std::string appPath = Settings().AppPath;
    Key(Qt::Key_F1);
    wizard.GoTo(PageId::InsertDisc);
    Key(Qt::Key_F1);  // no context: nothing
    wizard.GoTo(PageId::Destination);
    Key(Qt::Key_F1);
    if (GetParam() == SkinKind::Classic) wizard.Click("help");
    std::vector<std::string> expected{HelpPageUrl(appPath, 1), HelpPageUrl(appPath, 5)};
    if (GetParam() == SkinKind::Classic) expected.push_back(HelpPageUrl(appPath, 5));
    EXPECT_EQ(wizard.shell.Opened(), expected);
    EXPECT_EQ(expected[0], "file://" + appPath + "/help/1.html");
    EXPECT_TRUE(std::filesystem::exists(appPath + "/help/1.html"));
}

// Tab reaches every link and Enter opens it, as a click does: the formats
// help on the format page, the site and support on the final page.
TEST_P(Keyboard, LinksAreReachedWithTabAndOpenedWithEnter)
{
    auto openWithKeyboard = [&](const char* name) {
        for (int i = 0; i < 20 && QApplication::focusWidget()->objectName() != QLatin1String(name); ++i) Key(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget()->objectName().toStdString(), name);
        const PageId page = wizard.Current();
        Key(Qt::Key_Return);
        EXPECT_EQ(wizard.Current(), page) << "Enter on a link is no Next";
    };
    wizard.GoTo(PageId::Format);
    openWithKeyboard("formatsLink");
    wizard.GoTo(PageId::Final);
    openWithKeyboard("siteLink");
    openWithKeyboard("supportLink");
    const Settings settings;
    EXPECT_EQ(wizard.shell.Opened(),
              (std::vector<std::string>{HelpPageUrl(settings.AppPath, 6), settings.HomeURL, settings.MailURL}));
}

INSTANTIATE_TEST_SUITE_P(BothSkins, Keyboard, ::testing::Values(SkinKind::Aero, SkinKind::Classic),
                         test::SkinName);

}  // namespace
}  // namespace tesslow
