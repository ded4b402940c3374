#include "support/dark_palette.h"
#include "ui/classic_chrome.h"
#include "ui/controls/contrast.h"
#include "ui/controls/hyperlink_label.h"
#include "wizard_harness.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace tesslow {
namespace {

using test::WizardHarness;

// Every text of every page stands out on its background (WCAG AA, 4.5:1)
// on a dark palette, in both skins: the labels, the links, and the classic
// header's title on its band.
class DarkPalette : public ::testing::TestWithParam<SkinKind> {
protected:
    void SetUp() override
    {
        light_ = QApplication::palette();
        QApplication::setPalette(test::DarkPalette());
    }
    void TearDown() override { QApplication::setPalette(light_); }

    QPalette light_;
};

TEST_P(DarkPalette, EveryLabelLinkAndHeaderTextIsReadable)
{
    WizardHarness wizard(GetParam());
    for (const PageId page : {PageId::Welcome, PageId::InsertDisc, PageId::Tracks, PageId::Format, PageId::Quality,
                              PageId::Destination, PageId::Ready, PageId::Final}) {
        wizard.GoTo(page);
        SCOPED_TRACE(static_cast<int>(page));
        for (const QLabel* label : wizard.frame->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty()) continue;
            const QPalette& colours = label->palette();
            EXPECT_GE(ContrastRatio(colours.color(QPalette::WindowText), colours.color(label->backgroundRole())), 4.5)
                << label->objectName().toStdString() << ": " << label->text().toStdString();
        }
        for (const HyperlinkLabel* link : wizard.frame->findChildren<HyperlinkLabel*>()) {
            if (!link->isVisible()) continue;
            const LinkColours colours = LinkColoursOf(link->palette());
            const QColor window = link->palette().color(QPalette::Window);
            EXPECT_GE(ContrastRatio(colours.link, window), 4.5) << link->objectName().toStdString();
            EXPECT_GE(ContrastRatio(colours.visited, window), 4.5) << link->objectName().toStdString();
        }
        if (GetParam() == SkinKind::Classic) {
            const QPalette& colours = wizard.frame->palette();
            EXPECT_GE(ContrastRatio(HeaderTextColour(wizard.skin, colours), HeaderBackground(wizard.skin, colours)), 4.5);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothSkins, DarkPalette, ::testing::Values(SkinKind::Aero, SkinKind::Classic), test::SkinName);

}  // namespace
}  // namespace tesslow
