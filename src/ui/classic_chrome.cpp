#include "ui/classic_chrome.h"

#include "ui/controls/contrast.h"

#include "ui/dialog_units.h"
#include "ui/skin.h"
#include "ui/wizard_page.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>

namespace tesslow {
namespace {

constexpr int kMargin = 11;        // around the button row, in pixels
constexpr int kButtonGap = 6;
constexpr int kHeaderDialogUnits = 38;  // the etched line under the header

// Draws `picture` at (x, 0) down to `bottom`: a picture shorter than that is
// continued by its last row, so that a taller page (a larger font) shows no
// seam.
void DrawExtended(QPainter& painter, const QImage& picture, int x, int bottom)
{
    if (picture.isNull()) return;
    const QSizeF size = picture.deviceIndependentSize();
    const qreal ratio = picture.devicePixelRatio();
    const qreal shown = std::min<qreal>(size.height(), bottom);
    painter.drawImage(QRectF(x, 0, size.width(), shown), picture, QRectF(0, 0, picture.width(), shown * ratio));
    if (bottom > size.height()) {
        painter.drawImage(QRectF(x, size.height(), size.width(), bottom - size.height()), picture,
                          QRectF(0, picture.height() - 1, picture.width(), 1));
    }
}

}  // namespace

int ClassicChrome::SideWidth() const
{
    return static_cast<int>(skin_.sidePicture.deviceIndependentSize().width());
}

ClassicChrome::ClassicChrome(const Skin& skin, QWidget* parent)
    : WizardChrome(skin, parent), pageSize_(DialogUnitsToPixels(skin.pageDialogUnits, skin.fonts.normal))
{
    MakeButton<QPushButton>(WizardButton::Back, skin.backLabel, "back");
    MakeButton<QPushButton>(WizardButton::Next, skin.nextLabel, "next");
    MakeButton<QPushButton>(WizardButton::Finish, skin.finishLabel, "finish");
    MakeButton<QPushButton>(WizardButton::Cancel, skin.cancelLabel, "cancel");
    MakeButton<QPushButton>(WizardButton::Help, skin.helpLabel, "help");
    for (QAbstractButton* button : buttons_) static_cast<QPushButton*>(button)->setAutoDefault(false);
    Button(WizardButton::Finish)->hide();
    Button(WizardButton::Help)->hide();
    const int buttonHeight = Button(WizardButton::Next)->sizeHint().height();
    setMinimumSize(pageSize_.width(), pageSize_.height() + 2 * kMargin + buttonHeight);
}

int ClassicChrome::HeaderHeight() const
{
    return DialogUnitsToPixels(QSize(0, kHeaderDialogUnits), skin_.fonts.normal).height();
}

int ClassicChrome::ButtonRowTop() const
{
    return height() - kMargin - Button(WizardButton::Next)->sizeHint().height();
}

void ClassicChrome::ShowPage(WizardPage& page)
{
    exterior_ = page.IsExterior();
    title_ = page.Title();
    subtitle_ = page.Subtitle();
    stack_->setCurrentWidget(&page);
    PlaceStack();
    update();
}

void ClassicChrome::PlaceStack()
{
    const int pageBottom = ButtonRowTop() - kMargin;
    if (exterior_) {
        // Beside the banner, below the title.
        const int left = SideWidth() + kMargin;
        const int top = kMargin + QFontMetrics(skin_.titleFont).lineSpacing() * 2;
        stack_->setGeometry(left, top, width() - left - kMargin, pageBottom - top);
    } else {
        const int top = HeaderHeight() + 2 + kMargin;
        const int side = DialogUnitsToPixels(QSize(21, 0), skin_.fonts.normal).width();
        stack_->setGeometry(side, top, width() - 2 * side, pageBottom - top);
    }
}

void ClassicChrome::ApplyButtons(const WizardButtonSet& set, bool help)
{
    // The classic sheet always shows Back and Cancel; Finish takes Next's place.
    const bool finish = set.finish != ButtonState::Hidden;
    Button(WizardButton::Back)->setEnabled(set.back == ButtonState::Enabled);
    Button(WizardButton::Next)->setVisible(!finish);
    Button(WizardButton::Next)->setEnabled(set.next == ButtonState::Enabled);
    Button(WizardButton::Finish)->setVisible(finish);
    Button(WizardButton::Finish)->setEnabled(set.finish == ButtonState::Enabled);
    Button(WizardButton::Cancel)->setEnabled(true);
    Button(WizardButton::Help)->setVisible(help);
    static_cast<QPushButton*>(Button(WizardButton::Next))->setDefault(!finish);
    static_cast<QPushButton*>(Button(WizardButton::Finish))->setDefault(finish);
    resizeEvent(nullptr);
}

void ClassicChrome::resizeEvent(QResizeEvent*)
{
    // Right-aligned: Back and Next (or Finish) together, then Cancel, then
    // Help. A hidden Help keeps its place, so that no button moves under the
    // mouse from one page to the next.
    int right = width() - kMargin;
    const int top = ButtonRowTop();
    auto place = [&](WizardButton which, int gapAfter) {
        QAbstractButton* button = Button(which);
        if (button->isHidden() && which != WizardButton::Help) return;
        const QSize size(std::max(button->sizeHint().width(), 75), button->sizeHint().height());
        right -= size.width();
        button->setGeometry(right, top, size.width(), size.height());
        right -= gapAfter;
    };
    place(WizardButton::Help, kButtonGap);
    place(WizardButton::Cancel, kButtonGap * 2);
    place(WizardButton::Finish, 0);
    place(WizardButton::Next, 0);
    place(WizardButton::Back, 0);
    PlaceStack();
}

QColor HeaderTextColour(const Skin& skin, const QPalette& palette)
{
    const QColor behind = skin.headerPicture.isNull() ? palette.base().color() : skin.headerPicture.pixelColor(0, 0);
    return ReadableOn(behind, palette.text().color());
}

QColor HeaderBackground(const Skin& skin, const QPalette& palette)
{
    return skin.headerPicture.isNull() ? palette.base().color() : skin.headerPicture.pixelColor(0, 0);
}

void ClassicChrome::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const int lineY = ButtonRowTop() - kMargin;
    if (exterior_) {
        painter.fillRect(QRect(0, 0, width(), lineY), colours.base());
        DrawExtended(painter, skin_.sidePicture, 0, lineY);
        const int left = SideWidth() + kMargin;
        painter.setFont(skin_.titleFont);
        painter.setPen(ReadableOn(colours.base().color(), colours.text().color()));
        painter.drawText(QRect(left, kMargin, width() - left - kMargin, QFontMetrics(skin_.titleFont).lineSpacing() * 2),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title_);
    } else {
        const int header = HeaderHeight();
        painter.fillRect(QRect(0, 0, width(), header), colours.base());
        if (const QImage& picture = skin_.headerPicture; !picture.isNull()) {
            // At the top left, and kept at the right edge of a band wider than
            // it (fonts wider than the usual).
            const int x = std::max(0, width() - static_cast<int>(picture.deviceIndependentSize().width()));
            painter.fillRect(QRect(0, 0, x, header), picture.pixelColor(0, 0));
            DrawExtended(painter, picture, x, header);
        }
        const int left = DialogUnitsToPixels(QSize(21, 0), skin_.fonts.normal).width();
        // The band behind the text is the picture's own colour, light on any
        // palette: the text must stand out on it.
        painter.setPen(HeaderTextColour(skin_, colours));
        painter.setFont(skin_.fonts.bold);
        const int titleTop = header / 5;
        painter.drawText(QRect(left, titleTop, width() - left, header), Qt::AlignLeft | Qt::AlignTop, title_);
        painter.setFont(skin_.fonts.normal);
        painter.drawText(QRect(left + left / 2, titleTop + QFontMetrics(skin_.fonts.bold).lineSpacing() + 2,
                               width() - left, header),
                         Qt::AlignLeft | Qt::AlignTop, subtitle_);
        // The etched line: a dark line over a light one.
        painter.setPen(colours.dark().color());
        painter.drawLine(0, header, width(), header);
        painter.setPen(colours.light().color());
        painter.drawLine(0, header + 1, width(), header + 1);
    }
    // The etched line above the buttons.
    painter.setPen(colours.dark().color());
    painter.drawLine(0, lineY, width(), lineY);
    painter.setPen(colours.light().color());
    painter.drawLine(0, lineY + 1, width(), lineY + 1);
}

}  // namespace tesslow
