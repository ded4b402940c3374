#include "app/settings.h"
#include "ui/pages/format_page.h"
#include "wizard_harness.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

using test::WizardHarness;

// The page flow, the buttons and their labels, in each skin.
class PageFlow : public ::testing::TestWithParam<SkinKind> {
protected:
    bool Classic() const { return GetParam() == SkinKind::Classic; }
    WizardHarness wizard{GetParam()};
};

TEST_P(PageFlow, TheWelcomeLeadsToTheInsertDiscPageWhoseBackDependsOnSkipFirst)
{
    EXPECT_EQ(wizard.Current(), PageId::Welcome);
    EXPECT_TRUE(wizard.Usable("next"));
    EXPECT_TRUE(wizard.Usable("cancel"));
    EXPECT_FALSE(wizard.Usable("back"));
    EXPECT_EQ(wizard.Shown("back"), Classic());  // classic shows it disabled, Aero hides it
    EXPECT_EQ(wizard.Shown("help"), Classic());

    // The window adjustment: neither skin's window can be resized (no size
    // grip); the classic one may be minimized.
    EXPECT_EQ(wizard.frame->minimumSize(), wizard.frame->maximumSize());
    EXPECT_FALSE(wizard.frame->isSizeGripEnabled());
    EXPECT_EQ(wizard.frame->windowFlags().testFlag(Qt::WindowMinimizeButtonHint), Classic());

    const QRect nextOnWelcome = wizard.Button("next")->geometry(), cancelOnWelcome = wizard.Button("cancel")->geometry();
    wizard.Click("next");
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
    EXPECT_TRUE(wizard.Usable("back"));
    EXPECT_TRUE(wizard.Shown("next"));
    EXPECT_FALSE(wizard.Usable("next"));
    EXPECT_FALSE(wizard.Shown("help"));  // no help context
    // Without Help the other buttons stay where they were.
    EXPECT_EQ(wizard.Button("next")->geometry(), nextOnWelcome);
    EXPECT_EQ(wizard.Button("cancel")->geometry(), cancelOnWelcome);
    wizard.Click("next");                // searches again; stays
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);

    Settings().WriteSkipFirst();
    wizard.Click("back");
    wizard.Click("next");
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
    EXPECT_FALSE(wizard.Usable("back"));
    EXPECT_EQ(wizard.Shown("back"), Classic());
}

TEST_P(PageFlow, BackFromTheTracksReturnsToTheInsertDiscPageToPrompt)
{
    ASSERT_TRUE(wizard.GoToTracks());
    EXPECT_TRUE(wizard.Usable("back") && wizard.Usable("next") && wizard.Usable("cancel"));
    wizard.Click("back");
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
}

TEST_P(PageFlow, TheQualityPageIsSkippedBothWaysForFormatsWithoutAQualityChoice)
{
    struct Case {
        FormatCode format;
        PageId afterFormat;
    };
    for (const Case c : {Case{FormatCode::Wav, PageId::Destination}, Case{FormatCode::Ape, PageId::Destination},
                         Case{FormatCode::Flac, PageId::Destination}, Case{FormatCode::Mp3, PageId::Quality},
                         Case{FormatCode::Wma, PageId::Quality}, Case{FormatCode::Ogg, PageId::Quality}}) {
        SCOPED_TRACE(static_cast<int>(c.format));
        Settings().WriteLastFormat(c.format);
        wizard.GoTo(PageId::Format);
        wizard.Click("next");
        EXPECT_EQ(wizard.Current(), c.afterFormat);
        if (c.afterFormat == PageId::Quality) wizard.Click("next");
        EXPECT_EQ(wizard.Current(), PageId::Destination);
        wizard.Click("back");
        EXPECT_EQ(wizard.Current(), c.afterFormat == PageId::Quality ? PageId::Quality : PageId::Format);
    }
}

TEST_P(PageFlow, TheReadyPageLabelsNextToStartOnlyWhileItIsShown)
{
    const QString next = wizard.Button("next")->text();
    wizard.GoTo(PageId::Ready);
    EXPECT_EQ(wizard.Button("next")->text(), Classic() ? "&Next >" : "Start ripping");
    wizard.Click("back");
    EXPECT_EQ(wizard.Button("next")->text(), next);
    wizard.Click("next");
    wizard.Click("next");
    EXPECT_EQ(wizard.Current(), PageId::Progress);
    EXPECT_EQ(wizard.Button("next")->text(), next);
}

TEST_P(PageFlow, DuringTheRipOnlyCancelIsUsableAndItNeverClosesTheWizard)
{
    wizard.GoTo(PageId::Progress);
    EXPECT_TRUE(wizard.Usable("cancel"));
    EXPECT_FALSE(wizard.Usable("back"));
    EXPECT_TRUE(wizard.Shown("back"));
    EXPECT_FALSE(wizard.Usable("next"));
    EXPECT_EQ(wizard.Shown("next"), Classic());
    wizard.frame->reject();  // Esc, or the window's close box
    EXPECT_TRUE(wizard.frame->isVisible());
    EXPECT_EQ(wizard.Current(), PageId::Progress);
}

TEST_P(PageFlow, TheFinalPageRestartsAtTheInsertDiscPageWithTheLabelsPutBack)
{
    const QString next = wizard.Button("next")->text(), cancel = wizard.Button("cancel")->text();
    wizard.GoTo(PageId::Final);
    EXPECT_FALSE(wizard.Usable("back"));
    EXPECT_EQ(wizard.Shown("back"), Classic());
    const char* restart = Classic() ? "next" : "finish";
    EXPECT_TRUE(wizard.Usable(restart));
    EXPECT_EQ(wizard.Button(restart)->text(), Classic() ? "Rip more" : "Rip another disc");
    EXPECT_EQ(wizard.Button("cancel")->text(), "Close");

    wizard.Click(restart);
    EXPECT_TRUE(wizard.frame->isVisible());
    EXPECT_EQ(wizard.Current(), PageId::InsertDisc);
    EXPECT_EQ(wizard.Button("next")->text(), next);
    EXPECT_EQ(wizard.Button("cancel")->text(), cancel);
    EXPECT_FALSE(wizard.Shown("finish"));

    wizard.GoTo(PageId::Final);
    wizard.Click("cancel");  // "Close"
    EXPECT_FALSE(wizard.frame->isVisible());
    EXPECT_EQ(wizard.frame->result(), QDialog::Rejected);
}

TEST_P(PageFlow, SelectingByTemplateIdUsesTheSkinsOwnIds)
{
    EXPECT_TRUE(wizard.frame->SetCurSelId(TemplateId(PageId::Quality, GetParam())));
    EXPECT_EQ(wizard.Current(), PageId::Quality);
    const PageId other = PageId::Ready;
    const SkinKind otherSkin = Classic() ? SkinKind::Aero : SkinKind::Classic;
    EXPECT_FALSE(wizard.frame->SetCurSelId(TemplateId(other, otherSkin)));
    EXPECT_EQ(wizard.Current(), PageId::Quality);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, PageFlow, ::testing::Values(SkinKind::Aero, SkinKind::Classic),
                         test::SkinName);

}  // namespace
}  // namespace tesslow
