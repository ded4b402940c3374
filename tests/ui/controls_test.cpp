#include "ui/controls/browse_button.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/picture_button.h"
#include "ui/controls/pictures.h"
#include "ui/label_text.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace tesslow {
namespace {

// Counts the mouse presses a widget receives.
class PressCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }
    int presses = 0;
};

TEST(LabelText, TitlesShowTheirControlCharactersAsSpaces)
{
    EXPECT_EQ(LabelText("Line\nbreak\r\tand \x1b[2Jescape\xC2\x9B" "31m \xC3\xB6"),
              QStringLiteral("Line break  and  [2Jescape 31m \u00F6"));
}

TEST(Pictures, EveryNumberedPictureLoadsAndAMissingOneShowsTheErrorBoxAndDrawsNothing)
{
    std::vector<std::string> boxes;
    SetPictureErrorBox([&](const std::string& text) { boxes.push_back(text); });
    std::vector<int> numbers{kProgramIcon, kArrowHotIcon, kArrowIcon, kExpandIcon, kCollapseIcon, kHeaderPicture,
                             kMarkAllPicture, kWelcomeDrivePicture, kWelcomeDiscPicture, kSideBanner, kPlayPicture,
                             kStopPicture, kUnmarkAllPicture, kAeroPreviewStrip, kClassicPreviewStrip, kFinalPicture};
    for (int frame = 0; frame < kAnimationFrames; ++frame) numbers.push_back(kFirstAnimationFrame + frame);
    for (int number : numbers) EXPECT_FALSE(LoadPicture(number).isNull()) << number;
    EXPECT_TRUE(boxes.empty());

    const QImage missing = LoadPicture(999);
    EXPECT_TRUE(missing.isNull());
    EXPECT_EQ(boxes, std::vector<std::string>{"The picture 999 cannot be found in the program."});
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QImage before = canvas;
    QPainter painter(&canvas);
    DrawPicture(painter, 0, 0, missing, false);
    DrawPicture(painter, 0, 0, missing, true);
    painter.end();
    EXPECT_EQ(canvas, before);
    SetPictureErrorBox({});
}

TEST(PictureButton, ShowsItsLookAndReportsClicksFromMouseSpaceAndMnemonic)
{
    QWidget window;
    auto* button = new PictureButton(&window);
    button->setText(QStringLiteral("&Play"));
    button->SetPicture(LoadPicture(kPlayPicture));
    button->setGeometry(10, 10, 80, 80);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(button, &QAbstractButton::clicked);

    button->clearFocus();
    EXPECT_EQ(button->CurrentLook(), PictureButton::Look::Normal);
    QEvent enter(QEvent::HoverEnter);
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->CurrentLook(), PictureButton::Look::Hot);
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(button->CurrentLook(), PictureButton::Look::Pressed);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    QEvent leave(QEvent::HoverLeave);
    QApplication::sendEvent(button, &leave);
    button->setFocus();
    EXPECT_EQ(button->CurrentLook(), PictureButton::Look::Focused);

    QTest::keyClick(window.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyClick(window.windowHandle(), Qt::Key_P, Qt::AltModifier);
    QTest::qWait(250);  // a mnemonic clicks with a short animation
    EXPECT_EQ(clicks.count(), 3);

    button->setEnabled(false);
    EXPECT_EQ(button->CurrentLook(), PictureButton::Look::Disabled);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 3);
}

TEST(BrowseButton, StaysGluedToTheEditsRightEndAndItsClicksNeverReachTheEdit)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* browse = new BrowseButton;
    EXPECT_FALSE(AttachBuddyButton(nullptr, browse));
    ASSERT_TRUE(AttachBuddyButton(edit, browse));
    EXPECT_EQ(browse->accessibleName(), "Browse");
    EXPECT_GE(edit->textMargins().right(), browse->width());
    PressCounter counter;
    edit->installEventFilter(&counter);
    QSignalSpy clicks(browse, &QAbstractButton::clicked);
    window.show();
    for (int width : {200, 340, 120}) {
        edit->setGeometry(5, 5, width, 24);
        const QRect placed = browse->geometry();
        EXPECT_EQ(browse->parentWidget(), edit);
        EXPECT_GE(placed.right(), width - 4) << width;  // inside the frame, at the right end
        EXPECT_LE(placed.right(), width - 1) << width;
        QTest::mouseClick(browse, Qt::LeftButton);
    }
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(counter.presses, 0);
}

TEST(Hyperlink, ColoursComeFromThePaletteOrBlueAndPurple)
{
    const LinkColours fallback = LinkColoursOf(QPalette());
    EXPECT_EQ(fallback.link, QColor(0, 0, 255));
    EXPECT_EQ(fallback.visited, QColor(128, 0, 128));
    QPalette themed;
    themed.setColor(QPalette::Link, QColor(0, 120, 60));
    themed.setColor(QPalette::LinkVisited, QColor(90, 40, 120));
    EXPECT_EQ(LinkColoursOf(themed).link, QColor(0, 120, 60));
    EXPECT_EQ(LinkColoursOf(themed).visited, QColor(90, 40, 120));
}

TEST(Hyperlink, OnlyTheLinkReactsAndAClickMarksItVisited)
{
    HyperlinkLabel one(QStringLiteral("Press <a>here</a> for help"));
    TwoLineHyperlink two;
    for (HyperlinkLabel* label : {&one, static_cast<HyperlinkLabel*>(&two)}) {
        label->resize(label->sizeHint());
        label->show();
        QSignalSpy clicks(label, &HyperlinkLabel::clicked);
        const QRect link = label->LinkRect();
        ASSERT_FALSE(link.isEmpty());
        EXPECT_EQ(label->fontMetrics().horizontalAdvance(QStringLiteral("here")), link.width());

        QTest::mouseMove(label, QPoint(2, 2));
        EXPECT_FALSE(label->Hovered());
        QTest::mouseMove(label, link.center());
        EXPECT_TRUE(label->Hovered());
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, label->height() - 2));  // the second line, if any
        EXPECT_EQ(clicks.count(), 0);
        EXPECT_FALSE(label->Visited());
        QTest::mouseClick(label, Qt::LeftButton, {}, link.center());
        EXPECT_EQ(clicks.count(), 1);
        EXPECT_TRUE(label->Visited());

        label->setEnabled(false);
        QTest::mouseClick(label, Qt::LeftButton, {}, link.center());
        EXPECT_EQ(clicks.count(), 1);
    }
}

}  // namespace
}  // namespace tesslow
