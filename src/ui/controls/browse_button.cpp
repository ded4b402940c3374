#include "ui/controls/browse_button.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>

namespace tesslow {
namespace {

// Keeps the button in the strip at the edit's right end.
class BuddyPlacer final : public QObject {
public:
    BuddyPlacer(QLineEdit* edit, QAbstractButton* button) : QObject(edit), edit_(edit), button_(button)
    {
        width_ = button->sizeHint().width();
        QMargins margins = edit->textMargins();
        margins.setRight(margins.right() + width_);
        edit->setTextMargins(margins);
        button->setParent(edit);
        button->setCursor(Qt::ArrowCursor);
        button->show();
        Place();
        edit->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) Place();
        return false;
    }

private:
    void Place()
    {
        if (!button_) return;
        // Inside the edit's frame, as high as its inner area.
        const int frame = edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit_);
        const QRect inner = edit_->rect().adjusted(frame, frame, -frame, -frame);
        button_->setGeometry(inner.right() + 1 - width_, inner.top(), width_, inner.height());
    }

    QLineEdit* edit_;
    QPointer<QAbstractButton> button_;
    int width_ = 0;
};

}  // namespace

BrowseButton::BrowseButton(QWidget* parent) : QAbstractButton(parent)
{
    setAccessibleName(QStringLiteral("Browse"));
    setToolTip(QStringLiteral("Browse"));
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

QSize BrowseButton::sizeHint() const { return QSize(fontMetrics().horizontalAdvance(QStringLiteral("...")) + 12, 20); }

void BrowseButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    style()->drawItemText(&painter, rect().adjusted(1, 1, 0, 0), Qt::AlignCenter, palette(), isEnabled(),
                          QStringLiteral("..."), QPalette::ButtonText);
}

bool AttachBuddyButton(QLineEdit* edit, QAbstractButton* button)
{
    if (!edit || !button) return false;
    new BuddyPlacer(edit, button);
    return true;
}

}  // namespace tesslow
